#include "upgrader/FirmwareDownload.h"

#include "core/FileReplacer.h"
#include "upgrader/FirmwareImage.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/HttpsFetch.h"

namespace zorv
{
    namespace
    {
        // Anything longer could never be uploaded.
        constexpr size_t largestImage = FirmwareImage::maxSize - 1;

        bool isTextType (const juce::String& contentType)
        {
            return contentType.trim().startsWithIgnoreCase ("text/");
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

        // Another success (a part of the file, no content) is no image either.
        if (answer.status != 200)
            return juce::Result::fail ("The server answered " + address + " with HTTP status " + juce::String (answer.status));

        const auto& contentType = answer.contentType;
        const auto size = answer.body.getSize();
        const auto refusal = "The server answered " + address + " with ";

        if (isTextType (contentType))
            return juce::Result::fail (refusal + "text (" + contentType + "), not a firmware image");

        switch (FirmwareImage::check (answer.body.getData(), size))
        {
            case FirmwareImage::Verdict::tooShort:
                return juce::Result::fail (refusal + juce::String ((juce::int64) size) + " bytes, fewer than any firmware image");

            case FirmwareImage::Verdict::tooLong:
                return juce::Result::fail (refusal + juce::String ((juce::int64) size) + " bytes, more than any firmware image");

            case FirmwareImage::Verdict::webPage:
                return juce::Result::fail (refusal + "a web page, not a firmware image");

            case FirmwareImage::Verdict::text:
                return juce::Result::fail (refusal + "text, not a firmware image");

            case FirmwareImage::Verdict::image:
                break;
        }

        // Only a checked image ever reaches the target, and it replaces the
        // one there only once it is wholly on disk. The target is a name the
        // program picked, in the shared temporary folder: a link anyone put
        // there is replaced, never written through.
        if (! FileReplacer::replace (target, answer.body.getData(), answer.body.getSize(),
                                     FileReplacer::LinkAtTarget::replaced))
            return juce::Result::fail ("Could not write the firmware file " + target.getFullPathName());

        return juce::Result::ok();
    }
}
