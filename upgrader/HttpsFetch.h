#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    // One GET from the firmware host, read into memory under rules that no
    // server can talk it out of: HTTPS only (also after redirects), a bounded
    // wait for the answer to begin, a bounded silence once it has begun, a
    // bounded time for the whole, and a bounded body. Header lines are read as
    // libcurl reads them (see AnswerHeaders), and an answer is refused when
    // its headers would change unseen what its body means: a content coding
    // (nothing is decoded), two different lengths, a folded header line, a
    // header line holding a control byte or a blank before its colon.
    //
    // The transfer is driven by libcurl itself, without blocking, from the
    // calling (message) thread, which keeps its loop running between short
    // waits for the network, watches the clock and drops the transfer when a
    // rule is broken, or at once when the user gives up (Escape in the
    // wizard, zorv::bEsc): the window never stands still for a quarter of a
    // second, not even while a transfer is dropped, and the trust store is
    // read once a run (see CurlMulti). JUCE's own stream would not do: it
    // blocks its caller until data arrives, gives curl one time-out for both
    // connecting and a slow transfer, loses an answer's first header line (a
    // Content-Type sent first was never seen), and its cleanup waits for
    // curl's name lookup to finish, freezing the window for as long as a
    // silent name server.
    class HttpsFetch
    {
    public:
        struct Rules
        {
            // A body longer than this fails the fetch; it is not read further.
            size_t maxBodyBytes = 0;

            // From each request, a redirect's included, to the end of its
            // answer's headers: name lookup, connection, TLS and the server's
            // wait before it answers. Interim answers (1xx) do not end it.
            int connectionTimeoutMs = 2000;

            // Longest time without a byte once the answer has begun.
            int stallLimitMs = 15000;

            // From the request to the end of the last answer, redirects
            // included; 0 sets no limit.
            int wholeLimitMs = 0;

            // Every 3xx answer that is followed counts, whatever its number.
            int maxRedirects = 5;

            // Which answer's body is read and kept; any other is read past.
            enum class Body
            {
                none,           // the fetch ends once the final answer's status is known
                ofAnySuccess,   // that of any 2xx answer
                ofWhole200      // only that of a 200 that says where its body ends (a length,
                                // chunks, HTTP/2): one that ends with the connection may
                                // have been cut short
            };

            Body body = Body::ofWhole200;
        };

        struct Answer
        {
            int status = 0;                 // of the last answer; 0 when none arrived
            juce::String contentType;       // of the last answer, wherever it stood among its headers
            juce::MemoryBlock body;         // the whole body of an answer the rules keep; empty for any other
            juce::String failure;           // why the answer is not whole; empty when it is

            bool isComplete() const noexcept    { return failure.isEmpty(); }
            bool isSuccess() const noexcept     { return isComplete() && status >= 200 && status <= 299; }
        };

        // Follows redirects, each one only to an https URL.
        static Answer get (const juce::URL& url, const Rules& rules);
    };
}
