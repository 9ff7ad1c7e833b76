#include "upgrader/HttpsFetch.h"

#include "upgrader/SleepMs.h"
#include "upgrader/WizardFlags.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace zorv
{
namespace
{
    // How often the waiting thread runs its loop and looks at the clock.
    constexpr int pollIntervalMs = 32;

    // JUCE's read returns only once it has every byte it was asked for, so
    // the body is read in pieces, and each piece that arrives tells the
    // waiting thread that the server is still sending. Small pieces keep
    // that news coming from a slow server; while the bytes come quickly the
    // pieces grow, since JUCE moves what is left of its buffer after every
    // read. After a slow piece they start small again: only a fast transfer
    // that slows down all at once to under a kilobyte a second can look
    // silent for the length of one piece.
    constexpr int smallestPiece = 256;
    constexpr int largestPiece = 16384;
    constexpr int quickPieceMs = 100;

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

    bool hasScheme (const juce::String& address)
    {
        const int end = address.indexOf ("://");
        return end > 0 && address.substring (0, end).containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.");
    }

    // The URL that a redirect's Location names, seen from `base`: absolute,
    // scheme-relative, host-relative or relative.
    juce::String resolveLocation (const juce::String& base, const juce::String& location)
    {
        if (hasScheme (location))
            return location;

        const int schemeEnd = base.indexOf ("://");

        if (location.startsWith ("//"))
            return base.substring (0, juce::jmax (0, schemeEnd) + 1) + location;

        const int pathStart = schemeEnd < 0 ? -1 : base.indexOfChar (schemeEnd + 3, '/');
        const auto origin = pathStart < 0 ? base : base.substring (0, pathStart);

        if (location.startsWithChar ('/'))
            return origin + location;

        const auto path = pathStart < 0 ? juce::String ("/")
                                        : base.substring (pathStart).upToFirstOccurrenceOf ("?", false, false)
                                                                    .upToFirstOccurrenceOf ("#", false, false);

        return origin + path.upToLastOccurrenceOf ("/", true, false) + location;
    }

    //==============================================================================
    // One request, redirects not followed. The worker thread owns the stream
    // while it blocks in it; the waiting thread may only cancel it, and both
    // do that under `lock`, so a cancelled stream is never touched again.
    class Transfer
    {
    public:
        Transfer (const juce::URL& url, const HttpsFetch::Rules& rulesToUse, juce::int64 wholeDeadlineMs)
            : rules (rulesToUse), deadlineMs (wholeDeadlineMs), stream (url, false)
        {
            // Connection and stall limits are kept here: JUCE would give curl
            // one time for both.
            stream.withNumRedirectsToFollow (0);
        }

        HttpsFetch::Answer run()
        {
            const auto start = nowMs();
            lastArrivalMs = start;
            std::thread worker ([this] { receive(); });

            juce::String brokenRule;

            while (! done.load())
            {
                sleep_ms (pollIntervalMs);

                if (brokenRule.isNotEmpty())
                    continue;

                const auto now = nowMs();

                // The user may always stop waiting for the host, however
                // patiently the rules below would wait.
                if (bEsc)
                {
                    brokenRule = "given up";
                }
                else if (deadlineMs > 0 && now > deadlineMs)
                {
                    brokenRule = "not finished within " + juce::String (rules.wholeLimitMs) + " ms";
                }
                else if (! answered.load())
                {
                    if (now - start > rules.connectionTimeoutMs)
                        brokenRule = "no answer within " + juce::String (rules.connectionTimeoutMs) + " ms";
                }
                else if (now - lastArrivalMs.load() > rules.stallLimitMs)
                {
                    brokenRule = "nothing arrived for " + juce::String (rules.stallLimitMs) + " ms";
                }

                if (brokenRule.isNotEmpty())
                    cancel();
            }

            worker.join();

            if (brokenRule.isNotEmpty())
                answer.failure = brokenRule;

            return std::move (answer);
        }

    private:
        void cancel()
        {
            const juce::ScopedLock sl (lock);
            cancelled = true;
            stream.cancel();
        }

        bool isCancelled()
        {
            const juce::ScopedLock sl (lock);
            return cancelled;
        }

        // The worker thread.
        void receive()
        {
            receiveAnswer();
            done.store (true);
        }

        void receiveAnswer()
        {
            const bool connected = stream.connect (nullptr);
            juce::int64 declaredLength = -1;

            {
                const juce::ScopedLock sl (lock);

                if (cancelled)
                    return;

                if (! connected)
                {
                    answer.failure = "could not connect";
                    return;
                }

                answer.status = stream.getStatusCode();
                answer.headers = stream.getResponseHeaders();
                declaredLength = stream.getTotalLength();
            }

            // The transfer ended before any status line.
            if (answer.status <= 0)
            {
                answer.status = 0;
                answer.failure = "no answer";
                return;
            }

            lastArrivalMs = nowMs();
            answered = true;

            if (rules.statusOnly || answer.status < 200 || answer.status > 299)
                return;

            if (declaredLength > (juce::int64) rules.maxBodyBytes)
            {
                answer.failure = "the body is longer than " + juce::String ((juce::int64) rules.maxBodyBytes) + " bytes";
                return;
            }

            juce::HeapBlock<char> piece (largestPiece);
            int pieceSize = smallestPiece;

            for (;;)
            {
                if (isCancelled())
                    return;

                const auto asked = nowMs();
                const int got = stream.read (piece.get(), pieceSize);

                if (got > 0)
                {
                    lastArrivalMs = nowMs();

                    if (answer.body.getSize() + (size_t) got > rules.maxBodyBytes)
                    {
                        answer.failure = "the body is longer than " + juce::String ((juce::int64) rules.maxBodyBytes) + " bytes";
                        return;
                    }

                    answer.body.append (piece.get(), (size_t) got);
                }

                if (got < pieceSize)
                    break;

                pieceSize = lastArrivalMs.load() - asked <= quickPieceMs ? juce::jmin (pieceSize * 2, largestPiece)
                                                                         : smallestPiece;
            }

            const juce::ScopedLock sl (lock);

            if (cancelled)
                return;

            if (stream.isError())
                answer.failure = "the transfer broke off";
            else if (declaredLength >= 0 && (juce::int64) answer.body.getSize() < declaredLength)
                answer.failure = "the body ended before its Content-Length";
        }

        const HttpsFetch::Rules rules;
        const juce::int64 deadlineMs;           // 0: none
        juce::WebInputStream stream;

        juce::CriticalSection lock;
        bool cancelled = false;                 // guarded by lock

        std::atomic<bool> answered { false };
        std::atomic<bool> done { false };
        std::atomic<juce::int64> lastArrivalMs { 0 };

        // Written by the worker only, read once it has finished.
        HttpsFetch::Answer answer;
    };
}

//==============================================================================
HttpsFetch::Answer HttpsFetch::get (const juce::URL& url, const Rules& rules)
{
    auto address = url.toString (true);
    const auto deadlineMs = rules.wholeLimitMs > 0 ? nowMs() + rules.wholeLimitMs : 0;

    for (int redirects = 0;; ++redirects)
    {
        if (! isHttps (address))
        {
            Answer refused;
            refused.failure = "not an https address: " + address;
            return refused;
        }

        auto answer = Transfer (juce::URL (address), rules, deadlineMs).run();

        if (! answer.isComplete() || ! isRedirect (answer.status))
            return answer;

        // Missing also when it was the first header line, which JUCE's curl
        // backend (Linux) loses: the fetch then fails rather than guess.
        const auto location = answer.headers["Location"].trim();

        if (location.isEmpty())
            answer.failure = "a redirect without a location";
        else if (redirects == rules.maxRedirects)
            answer.failure = "more than " + juce::String (rules.maxRedirects) + " redirects";

        if (! answer.isComplete())
            return answer;

        address = resolveLocation (address, location);
    }
}
}
