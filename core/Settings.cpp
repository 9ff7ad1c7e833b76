#include "core/Settings.h"

#include "core/FileReplacer.h"

namespace
{
    // JUCE's mark of a compressed binary properties file.
    const int compressedMagicNumber = (int) juce::ByteOrder::makeInt ('C', 'P', 'R', 'P');

    // The bytes JUCE's PropertiesFile writes for one key and its value.
    juce::MemoryBlock compressedProperties (const juce::String& key, const juce::String& value)
    {
        juce::MemoryOutputStream out;
        out.writeInt (compressedMagicNumber);

        {
            juce::GZIPCompressorOutputStream zipped (out, 9);
            zipped.writeInt (1);
            zipped.writeString (key);
            zipped.writeString (value);
        }

        return out.getMemoryBlock();
    }
}

Settings::Settings()
{
    setStorageParameters (options());
}

juce::PropertiesFile::Options Settings::options()
{
    juce::PropertiesFile::Options o;
    o.applicationName     = "Trv";
    o.filenameSuffix      = ".conf";
    o.folderName          = "ZorvProAudio/Trv";
    o.osxLibrarySubFolder = "Application Support";
    o.commonToAllUsers    = true;
    o.storageFormat       = juce::PropertiesFile::storeAsCompressedBinary;
    return o;
}

bool Settings::writeModes (const juce::XmlElement& modes)
{
    // A property's XML value is stored on one line without a declaration.
    const auto bytes = compressedProperties ("modes", modes.toString (juce::XmlElement::TextFormat()
                                                                         .singleLine().withoutHeader()));
    auto o = getStorageParameters();

    for (bool common : { true, false })
    {
        o.commonToAllUsers = common;
        const auto file = o.getDefaultFile();

        // The program names this file itself, in a folder others may share
        // (/var): a link at its name is no choice of the user's, so it is
        // replaced, as JUCE's own save did, never written through.
        if (file.getParentDirectory().createDirectory().wasOk()
             && FileReplacer::replace (file, bytes.getData(), bytes.getSize(), FileReplacer::LinkAtTarget::replaced))
            return true;
    }

    return false;
}
