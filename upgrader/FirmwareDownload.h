#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    // Fetches a firmware image from the server into a file.
    class FirmwareDownload
    {
    public:
        // Downloads `source` into `target`, keeping the calling (message)
        // thread's loop running while the body arrives. Succeeds only for the
        // whole body of a 200 answer over HTTPS that says where its body ends
        // (a body that ends with the connection may have been cut short), and
        // that can be a firmware image
        // (see FirmwareImage): not typed as text, not a web page, not text
        // from end to end, of a size the upload takes. Fails instead of
        // waiting when the server does not answer within the connection
        // time-out or falls silent for the stall limit.
        // On failure `target` is left as it was and nothing of the answer
        // remains on disk; a target that exists and is not an ordinary file
        // (a folder, a FIFO) is never replaced.
        static juce::Result downloadToFile (const juce::URL& source, const juce::File& target);
    };
}
