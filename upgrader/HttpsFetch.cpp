#include "upgrader/HttpsFetch.h"

#include "upgrader/AnswerHeaders.h"
#include "upgrader/CurlMulti.h"
#include "upgrader/SleepMs.h"
#include "upgrader/WizardFlags.h"

#include <chrono>
#include <memory>
#include <vector>

namespace zorv
{
namespace
{
    // The longest the thread waits for the network before it runs its
    // message loop again and looks at the clock and at Escape.
    constexpr int networkWaitMs = 10;

    juce::int64 nowMs()
    {
        using namespace std::chrono;
        return duration_cast<milliseconds> (steady_clock::now().time_since_epoch()).count();
    }

    bool isHttps (const juce::String& address)
    {
        return address.startsWithIgnoreCase ("https://");
    }

    juce::String bodyTooLong (size_t maxBodyBytes)
    {
        return "the body is longer than " + juce::String ((juce::int64) maxBodyBytes) + " bytes";
    }

    struct EasyCleanup  { void operator() (CURL* easy) const noexcept   { curl_easy_cleanup (easy); } };

    //==============================================================================
    // One GET, redirects included, driven from the calling thread on the
    // program's one multi handle. libcurl looks the host name up on a thread
    // of its own; told to skip the wait for it on cleanup, dropping a
    // transfer never blocks, whatever it is doing. Nothing else runs
    // elsewhere: the callbacks below are called from the multi handle's
    // perform on this thread.
    class Transfer
    {
    public:
        using Body = HttpsFetch::Rules::Body;

        Transfer (const juce::String& address, const HttpsFetch::Rules& rulesToUse)
            : rules (rulesToUse), easy (curl_easy_init()), headers (easy.get())
        {
            if (easy == nullptr)
                return;

            auto* e = easy.get();

            // The settings that keep the fetch safe must take: one that did
            // not would leave plain http allowed or a proxy's reply taken for
            // the host's. The libcurl in use may be older than the headers.
            const auto set = [e] (CURLoption option, auto value)
            {
                return curl_easy_setopt (e, option, value) == CURLE_OK;
            };

            const bool httpsOnly =
               #if QUELT_CURL_HAS_PROTOCOLS_STR
                (set (CURLOPT_PROTOCOLS_STR, "https") && set (CURLOPT_REDIR_PROTOCOLS_STR, "https")) ||
               #endif
                (set (CURLOPT_PROTOCOLS, (long) CURLPROTO_HTTPS) && set (CURLOPT_REDIR_PROTOCOLS, (long) CURLPROTO_HTTPS));

            ready = httpsOnly
                 && set (CURLOPT_ERRORBUFFER, errorText)
                 && set (CURLOPT_URL, address.toRawUTF8())
                 && set (CURLOPT_HTTPGET, 1L)
                 && set (CURLOPT_NOSIGNAL, 1L)
                 && set (CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L)
                 && set (CURLOPT_FOLLOWLOCATION, 1L)
                 && set (CURLOPT_MAXREDIRS, (long) rules.maxRedirects)
                 && (rules.body == Body::none || rules.maxBodyBytes == 0
                       || set (CURLOPT_MAXFILESIZE_LARGE, (curl_off_t) rules.maxBodyBytes))
                 && set (CURLOPT_HEADERFUNCTION, &Transfer::onHeader)
                 && set (CURLOPT_HEADERDATA, static_cast<void*> (this))
                 && set (CURLOPT_WRITEFUNCTION, &Transfer::onBody)
                 && set (CURLOPT_WRITEDATA, static_cast<void*> (this));

            // No connection is kept for a later transfer: each answer is
            // read on a connection of its own, and none stays open unwatched.
            set (CURLOPT_FORBID_REUSE, 1L);

            // Without the first, dropping a transfer waits for a name lookup
            // in progress to end: against a silent name server, many seconds.
            // A libcurl without them (before 7.87) still transfers, only then.
           #if QUELT_CURL_HAS_QUICK_EXIT_AND_CA_CACHE
            set (CURLOPT_QUICK_EXIT, 1L);

            // libcurl keeps the trust store parsed in the multi handle, for
            // the whole run, only when it is read from a bundle alone. Where
            // it has a bundle, the system's folder of single certificates
            // holds the same and is left unread; a libcurl built with the
            // folder alone keeps it, and reads the store per connection.
            const char* bundle = nullptr;

            if (set (CURLOPT_CA_CACHE_TIMEOUT, -1L)
                 && curl_easy_getinfo (e, CURLINFO_CAINFO, &bundle) == CURLE_OK
                 && bundle != nullptr && *bundle != 0)
                set (CURLOPT_CAPATH, static_cast<const char*> (nullptr));
           #endif
        }

        HttpsFetch::Answer run (juce::int64 wholeDeadlineMs)
        {
            auto& multi = CurlMulti::instance();

            if (! ready || ! multi.add (easy.get()))
            {
                answer.failure = "the network library could not start a transfer";
                return std::move (answer);
            }

            hopStartMs = nowMs();
            juce::String brokenRule;
            CURLcode result = CURLE_OK;

            for (;;)
            {
                multi.perform();

                if (const auto ended = multi.resultOf (easy.get()))
                {
                    result = *ended;
                    break;
                }

                brokenRule = checkRules (wholeDeadlineMs);

                if (brokenRule.isNotEmpty())
                    break;

                multi.wait (networkWaitMs);
                sleep_ms (0);
            }

            // Never waits: see CURLOPT_QUICK_EXIT.
            multi.remove (easy.get());

            // The final answer's status as curl parsed it, whatever came
            // before or after it.
            long finalStatus = 0;
            curl_easy_getinfo (easy.get(), CURLINFO_RESPONSE_CODE, &finalStatus);
            answer.status = finalStatus > 0 ? (int) finalStatus : 0;

            // Once the final answer's headers are in, how a body that is not
            // kept ended counts for nothing: a status-only fetch breaks it off
            // itself, and an error page cut short still names its error.
            if (answered && ! keepsBody)
                result = CURLE_OK;

            if (brokenRule.isNotEmpty())
                answer.failure = brokenRule;
            else if (refusal.isNotEmpty())
                answer.failure = refusal;
            else if (tooLong || result == CURLE_FILESIZE_EXCEEDED)
                answer.failure = bodyTooLong (rules.maxBodyBytes);
            else if (result != CURLE_OK)
                answer.failure = describe (result);

            if (keepsBody && answer.failure.isEmpty())
                answer.body.replaceAll (received.data(), received.size());

            return std::move (answer);
        }

    private:
        juce::String checkRules (juce::int64 wholeDeadlineMs) const
        {
            const auto now = nowMs();

            // The user may always stop waiting for the host, however
            // patiently the rules below would wait.
            if (bEsc)
                return "given up";

            if (wholeDeadlineMs > 0 && now > wholeDeadlineMs)
                return "not finished within " + juce::String (rules.wholeLimitMs) + " ms";

            if (! answered)
                return now - hopStartMs > rules.connectionTimeoutMs
                         ? "no answer within " + juce::String (rules.connectionTimeoutMs) + " ms"
                         : juce::String();

            if (now - lastArrivalMs > rules.stallLimitMs)
                return "nothing arrived for " + juce::String (rules.stallLimitMs) + " ms";

            return {};
        }

        juce::String describe (CURLcode result) const
        {
            if (result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_CONNECT)
                return "could not connect: " + juce::String (curl_easy_strerror (result));

            // libcurl's store of headers refuses, with this code and no word
            // of why, a folded line that has no header before it to continue;
            // nothing else gives it while headers arrive. Any later fold
            // reaches the header callback, which refuses it.
            if (result == CURLE_BAD_FUNCTION_ARGUMENT && headers.inHeaders())
                return "a folded header line";

            // libcurl refuses a redirect to another scheme with the same code
            // as an answer that is no HTTP at all (HTTP/0.9, a broken status
            // line); only a followed redirect has moved the address off https.
            const char* address = nullptr;
            curl_easy_getinfo (easy.get(), CURLINFO_EFFECTIVE_URL, &address);

            if (result == CURLE_UNSUPPORTED_PROTOCOL && address != nullptr && ! isHttps (address))
                return "a redirect to an address that is not https";

            if (result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_WEIRD_SERVER_REPLY)
                return "the answer is not HTTP: " + detail (result);

            if (result == CURLE_TOO_MANY_REDIRECTS)
                return "more than " + juce::String (rules.maxRedirects) + " redirects";

            if (result == CURLE_PARTIAL_FILE)
                return headers.isChunked() ? "the body ended before its last chunk"
                                           : "the body ended before its Content-Length";

            return "the transfer broke off: " + detail (result);
        }

        // What libcurl says went wrong, as closely as it says it.
        juce::String detail (CURLcode result) const
        {
            juce::String text;

            for (size_t i = 0; i < sizeof (errorText) && errorText[i] != 0; ++i)
                if (errorText[i] >= 0x20 && errorText[i] < 0x7F)
                    text += (juce::juce_wchar) errorText[i];

            return text.trim().isNotEmpty() ? text.trim() : juce::String (curl_easy_strerror (result));
        }

        // One header line, the status line first, as AnswerHeaders reads it.
        // Lines after the final answer's headers (a chunked body's trailers)
        // change nothing. A line that would change unseen what the answer
        // means ends the transfer.
        static size_t onHeader (char* data, size_t size, size_t count, void* user)
        {
            auto& t = *static_cast<Transfer*> (user);
            const auto length = size * count;
            t.lastArrivalMs = nowMs();

            if (t.answered)
                return length;

            switch (t.headers.read (data, length))
            {
                case AnswerHeaders::Event::refused:
                    return t.refuse (t.headers.refusal());

                // A redirect that libcurl follows gives the next request its
                // own time to answer. An interim answer (1xx) is no answer:
                // the clock runs on, however many come.
                case AnswerHeaders::Event::hopEnded:
                    t.hopStartMs = t.lastArrivalMs;
                    return length;

                case AnswerHeaders::Event::finalEnded:
                    return t.onFinalHeaders() ? length : 0;

                case AnswerHeaders::Event::line:
                case AnswerHeaders::Event::interimEnded:
                default:
                    return length;
            }
        }

        // The final answer has answered, and is all a status-only fetch asks
        // for. How a body that is never kept (a redirect's, an error page's)
        // is framed or encoded is libcurl's affair alone.
        bool onFinalHeaders()
        {
            answered = true;
            answer.contentType = headers.contentType();

            if (rules.body == Body::none)
                return false;

            long status = 0;
            curl_easy_getinfo (easy.get(), CURLINFO_RESPONSE_CODE, &status);
            keepsBody = rules.body == Body::ofAnySuccess ? (status >= 200 && status <= 299) : status == 200;

            if (! keepsBody)
                return true;

            const auto fault = headers.bodyFault (rules.body == Body::ofWhole200);

            if (fault.isEmpty())
                return true;

            refuse (fault);
            return false;
        }

        // Returning anything but the line's length makes libcurl end the transfer.
        size_t refuse (const juce::String& reason)
        {
            refusal = reason;
            return 0;
        }

        static size_t onBody (char* data, size_t size, size_t count, void* user)
        {
            auto& t = *static_cast<Transfer*> (user);
            const auto length = size * count;
            t.lastArrivalMs = nowMs();

            // Only a body the rules keep is kept; an error page, a part of
            // the file or anything else is only read past.
            if (! t.keepsBody)
                return length;

            if (t.received.size() + length > t.rules.maxBodyBytes)
            {
                t.tooLong = true;
                return 0;
            }

            t.received.insert (t.received.end(), data, data + length);
            return length;
        }

        const HttpsFetch::Rules rules;
        std::unique_ptr<CURL, EasyCleanup> easy;
        AnswerHeaders headers;

        HttpsFetch::Answer answer;

        // The body as it arrives. It grows by doubling: a block resized to fit
        // each piece may be moved, and copied whole, for every piece (a 2 MiB
        // image comes in 128 pieces or more), on the message thread.
        std::vector<char> received;
        bool ready = false, answered = false, keepsBody = false, tooLong = false;
        juce::String refusal;           // why a header ended the transfer
        juce::int64 hopStartMs = 0, lastArrivalMs = 0;
        char errorText[CURL_ERROR_SIZE] = {};

        JUCE_DECLARE_NON_COPYABLE (Transfer)
    };
}

//==============================================================================
HttpsFetch::Answer HttpsFetch::get (const juce::URL& url, const Rules& rules)
{
    const auto address = url.toString (true);

    if (! isHttps (address))
    {
        Answer refused;
        refused.failure = "not an https address: " + address;
        return refused;
    }

    const auto deadlineMs = rules.wholeLimitMs > 0 ? nowMs() + rules.wholeLimitMs : 0;
    return Transfer (address, rules).run (deadlineMs);
}
}
