#include "core/Settings.h"

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
