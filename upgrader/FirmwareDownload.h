#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    // Fetches a firmware image from the server into a file.
    class FirmwareDownload
    {
    public:
        // Downloads `source` into `target`, keeping the calling (message)
        // thread's loop running while the body arrives. Succeeds only for a 2xx
        // answer whose whole body arrived: an error page or a broken-off
        // transfer must never pass for a firmware image. On failure `target` is
        // left as it was and nothing of the answer remains on disk.
        static juce::Result downloadToFile (const juce::URL& source, const juce::File& target);
    };
}
