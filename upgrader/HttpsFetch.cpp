#include "upgrader/HttpsFetch.h"

#include "upgrader/RawBytes.h"
#include "upgrader/SleepMs.h"
#include "upgrader/WizardFlags.h"

// The bit-mask protocol options stand in for the named ones on a libcurl that
// predates those; newer headers mark them deprecated.
#define CURL_DISABLE_DEPRECATION 1
#include <curl/curl.h>

#include <chrono>
#include <memory>

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

    bool isRedirect (int status)
    {
        return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    }

    bool isBlank (const char* bytes, size_t length)
    {
        for (size_t i = 0; i < length; ++i)
            if (bytes[i] != ' ' && bytes[i] != '\t' && bytes[i] != '\r' && bytes[i] != '\n')
                return false;

        return true;
    }

    // The status of a status line such as "HTTP/1.1 302 Found"; 0 when it has none.
    int statusOf (const char* line, size_t length)
    {
        size_t i = 0;

        while (i < length && line[i] != ' ')
            ++i;

        while (i < length && line[i] == ' ')
            ++i;

        int status = 0;

        for (int digits = 0; i < length && digits < 3 && line[i] >= '0' && line[i] <= '9'; ++i, ++digits)
            status = status * 10 + (line[i] - '0');

        return status;
    }

    // A header's value as text: its printable ASCII, blanks trimmed.
    juce::String printableText (const char* bytes, size_t length)
    {
        juce::String text;

        for (size_t i = 0; i < length; ++i)
            if (bytes[i] >= 0x20 && bytes[i] < 0x7F)
                text += (juce::juce_wchar) bytes[i];

        return text.trim();
    }

    juce::String bodyTooLong (size_t maxBodyBytes)
    {
        return "the body is longer than " + juce::String ((juce::int64) maxBodyBytes) + " bytes";
    }

    struct EasyCleanup  { void operator() (CURL* easy) const noexcept   { curl_easy_cleanup (easy); } };
    struct MultiCleanup { void operator() (CURLM* multi) const noexcept { curl_multi_cleanup (multi); } };

    //==============================================================================
    // One GET, redirects included, driven from the calling thread. libcurl
    // looks the host name up on a thread of its own; told to skip the wait
    // for it on cleanup, dropping a transfer never blocks, whatever it is
    // doing. Nothing else runs elsewhere: the callbacks below are called from
    // curl_multi_perform on this thread.
    class Transfer
    {
    public:
        Transfer (const juce::String& address, const HttpsFetch::Rules& rulesToUse)
            : rules (rulesToUse), easy (curl_easy_init()), multi (curl_multi_init())
        {
            if (easy == nullptr || multi == nullptr)
                return;

            auto* e = easy.get();

            // The settings that keep the fetch safe must take: one that did
            // not would leave plain http allowed or a proxy's reply taken for
            // the host's. The libcurl in use may be older than the headers.
            const auto set = [e] (CURLoption option, auto value)
            {
                return curl_easy_setopt (e, option, value) == CURLE_OK;
            };

            const bool httpsOnly = (set (CURLOPT_PROTOCOLS_STR, "https") && set (CURLOPT_REDIR_PROTOCOLS_STR, "https"))
                                || (set (CURLOPT_PROTOCOLS, (long) CURLPROTO_HTTPS) && set (CURLOPT_REDIR_PROTOCOLS, (long) CURLPROTO_HTTPS));

            ready = httpsOnly
                 && set (CURLOPT_URL, address.toRawUTF8())
                 && set (CURLOPT_HTTPGET, 1L)
                 && set (CURLOPT_NOSIGNAL, 1L)
                 && set (CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L)
                 && set (CURLOPT_FOLLOWLOCATION, 1L)
                 && set (CURLOPT_MAXREDIRS, (long) rules.maxRedirects)
                 && (rules.statusOnly || rules.maxBodyBytes == 0
                       || set (CURLOPT_MAXFILESIZE_LARGE, (curl_off_t) rules.maxBodyBytes))
                 && set (CURLOPT_HEADERFUNCTION, &Transfer::onHeader)
                 && set (CURLOPT_HEADERDATA, static_cast<void*> (this))
                 && set (CURLOPT_WRITEFUNCTION, &Transfer::onBody)
                 && set (CURLOPT_WRITEDATA, static_cast<void*> (this));

            // Without it, dropping a transfer waits for a name lookup in
            // progress to end: against a silent name server, many seconds. A
            // libcurl without it (before 7.87) still transfers, only then.
            set (CURLOPT_QUICK_EXIT, 1L);
        }

        HttpsFetch::Answer run (juce::int64 wholeDeadlineMs)
        {
            if (! ready || curl_multi_add_handle (multi.get(), easy.get()) != CURLM_OK)
            {
                answer.failure = "the network library could not start a transfer";
                return std::move (answer);
            }

            hopStartMs = nowMs();
            juce::String brokenRule;
            CURLcode result = CURLE_OK;

            for (;;)
            {
                int running = 0;
                curl_multi_perform (multi.get(), &running);

                if (finished (result))
                    break;

                brokenRule = checkRules (wholeDeadlineMs);

                if (brokenRule.isNotEmpty())
                    break;

                curl_multi_wait (multi.get(), nullptr, 0, networkWaitMs, nullptr);
                sleep_ms (0);
            }

            // Never waits: see CURLOPT_QUICK_EXIT.
            curl_multi_remove_handle (multi.get(), easy.get());

            // The final answer's status as curl parsed it, whatever came
            // before or after it.
            long finalStatus = 0;
            curl_easy_getinfo (easy.get(), CURLINFO_RESPONSE_CODE, &finalStatus);
            answer.status = finalStatus > 0 ? (int) finalStatus : 0;

            // A status-only fetch ends by breaking off the transfer itself.
            if (brokenRule.isNotEmpty())
                answer.failure = brokenRule;
            else if (tooLong || result == CURLE_FILESIZE_EXCEEDED)
                answer.failure = bodyTooLong (rules.maxBodyBytes);
            else if (result != CURLE_OK && ! statusKnown)
                answer.failure = describe (result);

            if (answer.status < 200 || answer.status > 299)
                answer.body.reset();

            return std::move (answer);
        }

    private:
        bool finished (CURLcode& result)
        {
            int queued = 0;

            while (auto* message = curl_multi_info_read (multi.get(), &queued))
            {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy.get())
                {
                    result = message->data.result;
                    return true;
                }
            }

            return false;
        }

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

            if (result == CURLE_UNSUPPORTED_PROTOCOL)
                return "a redirect to an address that is not https";

            if (result == CURLE_TOO_MANY_REDIRECTS)
                return "more than " + juce::String (rules.maxRedirects) + " redirects";

            if (result == CURLE_PARTIAL_FILE)
                return "the body ended before its Content-Length";

            return "the transfer broke off: " + juce::String (curl_easy_strerror (result));
        }

        // One header line, the status line first. Each answer of a redirect
        // chain starts afresh; lines after the final answer's headers (a
        // chunked body's trailers) change nothing.
        static size_t onHeader (char* data, size_t size, size_t count, void* user)
        {
            auto& t = *static_cast<Transfer*> (user);
            const auto length = size * count;
            t.lastArrivalMs = nowMs();

            if (t.answered)
                return length;

            if (startsWithIgnoringCase (data, length, "HTTP/"))
            {
                t.status = statusOf (data, length);
                t.answerHasLocation = false;
                t.answer.contentType.clear();
            }
            else if (startsWithIgnoringCase (data, length, "Location:"))
            {
                t.answerHasLocation = ! isBlank (data + 9, length - 9);
            }
            else if (startsWithIgnoringCase (data, length, "Content-Type:"))
            {
                t.answer.contentType = printableText (data + 13, length - 13);
            }
            else if (isBlank (data, length))
            {
                // The end of an answer's headers. One that is followed gives
                // the next hop its own time to answer; the final one has
                // answered, and is all a status-only fetch asks for.
                if (t.status < 200 || (isRedirect (t.status) && t.answerHasLocation))
                {
                    t.hopStartMs = t.lastArrivalMs;
                    return length;
                }

                t.answered = true;

                if (t.rules.statusOnly)
                {
                    t.statusKnown = true;
                    return 0;
                }
            }

            return length;
        }

        static size_t onBody (char* data, size_t size, size_t count, void* user)
        {
            auto& t = *static_cast<Transfer*> (user);
            const auto length = size * count;
            t.lastArrivalMs = nowMs();

            // Only a success's body is kept; an error page is only read past.
            if (t.status < 200 || t.status > 299)
                return length;

            if (t.answer.body.getSize() + length > t.rules.maxBodyBytes)
            {
                t.tooLong = true;
                return 0;
            }

            t.answer.body.append (data, length);
            return length;
        }

        const HttpsFetch::Rules rules;
        std::unique_ptr<CURL, EasyCleanup> easy;
        std::unique_ptr<CURLM, MultiCleanup> multi;

        HttpsFetch::Answer answer;
        bool ready = false, answered = false, answerHasLocation = false, statusKnown = false, tooLong = false;
        int status = 0;                 // of the answer whose headers are coming in
        juce::int64 hopStartMs = 0, lastArrivalMs = 0;

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
