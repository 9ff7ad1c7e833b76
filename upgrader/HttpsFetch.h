#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    // One GET from the firmware host, read into memory under rules that no
    // server can talk it out of: HTTPS only (also after redirects), a bounded
    // wait for the answer to begin, a bounded silence once it has begun, a
    // bounded time for the whole, and a bounded body.
    //
    // JUCE's streams block their caller until data arrives and tie the time
    // they allow for connecting to the time they allow for a slow transfer, so
    // the transfer runs on a thread of its own; the calling (message) thread
    // keeps its loop running in short slices meanwhile, watches the clock and
    // cancels the transfer when a rule is broken, or at once when the user
    // gives up (Escape in the wizard, zorv::bEsc). The answer is handed over
    // only once that thread has finished with it.
    class HttpsFetch
    {
    public:
        struct Rules
        {
            // A body longer than this fails the fetch; it is not read further.
            size_t maxBodyBytes = 0;

            // From the request to the answer's status and first bytes.
            int connectionTimeoutMs = 2000;

            // Longest time without a byte once the answer has begun.
            int stallLimitMs = 15000;

            // From the request to the end of the last answer, redirects
            // included; 0 sets no limit.
            int wholeLimitMs = 0;

            int maxRedirects = 5;

            // Ends once the status is known, without reading the body.
            bool statusOnly = false;
        };

        struct Answer
        {
            int status = 0;                 // of the last answer; 0 when none arrived
            juce::StringPairArray headers;  // of the last answer
            juce::MemoryBlock body;         // the whole body of a 2xx answer
            juce::String failure;           // why the answer is not whole; empty when it is

            bool isComplete() const noexcept    { return failure.isEmpty(); }
            bool isSuccess() const noexcept     { return isComplete() && status >= 200 && status <= 299; }
        };

        // Follows redirects itself, each one only to an https URL.
        static Answer get (const juce::URL& url, const Rules& rules);
    };
}
