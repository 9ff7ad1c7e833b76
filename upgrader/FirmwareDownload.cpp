#include "upgrader/FirmwareDownload.h"

#include "upgrader/SleepMs.h"

namespace zorv
{
    namespace
    {
        constexpr int pollIntervalMs = 32;

    }

    juce::Result FirmwareDownload::downloadToFile (const juce::URL& source, const juce::File& target)
    {
        const auto address = source.toString (true);

        if (source.isEmpty())
            return juce::Result::fail ("No firmware file was chosen to download");

        // JUCE writes whatever the server answers straight into the file it is
        // given, so the answer goes to a sibling first and only replaces the
        // target once it is known to be the image.
        juce::TemporaryFile partial (target);

        if (! partial.getFile().create())
            return juce::Result::fail ("Could not write the firmware file " + target.getFullPathName());

        auto url = source; // JUCE's downloadToFile is not const
        auto task = url.downloadToFile (partial.getFile(), juce::URL::DownloadTaskOptions());

        if (task == nullptr)
            return juce::Result::fail ("Could not connect to " + address);

        while (! task->isFinished())
            sleep_ms (pollIntervalMs);

        const auto status = task->statusCode();
        const auto brokenOff = task->hadError();
        task.reset();

        if (status <= 0)
            return juce::Result::fail ("Could not connect to " + address);

        if (status < 200 || status > 299)
            return juce::Result::fail ("The server answered " + address + " with HTTP status " + juce::String (status));

        if (brokenOff)
            return juce::Result::fail ("The download of " + address + " broke off");

        if (! partial.overwriteTargetFileWithTemporary())
            return juce::Result::fail ("Could not write the firmware file " + target.getFullPathName());

        return juce::Result::ok();
    }
}
