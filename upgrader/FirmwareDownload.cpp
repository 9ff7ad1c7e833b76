#include "upgrader/FirmwareDownload.h"

#include "core/FileReplacer.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/HttpsFetch.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/RawBytes.h"

namespace zorv
{
    namespace
    {
        // Anything longer could never be uploaded.
        constexpr size_t largestImage = FirmwareUpgradeComponent::MidiInputHandler::maxImageSize - 1;

        bool isTextType (const juce::String& contentType)
        {
            return contentType.trim().startsWithIgnoreCase ("text/");
        }

        // A captive portal or a misconfigured server answers with a web page,
        // whatever it calls it.
        bool looksLikeWebPage (const juce::MemoryBlock& body)
        {
            auto* bytes = static_cast<const char*> (body.getData());
            const auto size = body.getSize();
            size_t start = 0;

            if (startsWithIgnoringCase (bytes, size, "\xEF\xBB\xBF"))
                start = 3;

            while (start < size && juce::CharacterFunctions::isWhitespace (bytes[start]))
                ++start;

            return startsWithIgnoringCase (bytes + start, size - start, "<!DOCTYPE") || startsWithIgnoringCase (bytes + start, size - start, "<html");
        }
    }

    juce::Result FirmwareDownload::downloadToFile (const juce::URL& source, const juce::File& target)
    {
        const auto address = source.toString (true);

        if (source.isEmpty())
            return juce::Result::fail ("No firmware file was chosen to download");

        const auto rules = FirmwareServer::transferRules (largestImage, FirmwareServer::getTimeLimits().imageMs);

        const auto answer = HttpsFetch::get (source, rules);

        if (answer.status <= 0)
            return juce::Result::fail ("Could not connect to " + address + ": " + answer.failure);

        if (! answer.isComplete())
            return juce::Result::fail ("The download of " + address + " failed: " + answer.failure);

        if (! answer.isSuccess())
            return juce::Result::fail ("The server answered " + address + " with HTTP status " + juce::String (answer.status));

        const auto& contentType = answer.contentType;

        if (isTextType (contentType))
            return juce::Result::fail ("The server answered " + address + " with text (" + contentType + "), not a firmware image");

        if (looksLikeWebPage (answer.body))
            return juce::Result::fail ("The server answered " + address + " with a web page, not a firmware image");

        // Only a checked image ever reaches the target, and it replaces the
        // one there only once it is wholly on disk.
        if (! FileReplacer::replace (target, answer.body.getData(), answer.body.getSize()))
            return juce::Result::fail ("Could not write the firmware file " + target.getFullPathName());

        return juce::Result::ok();
    }
}
