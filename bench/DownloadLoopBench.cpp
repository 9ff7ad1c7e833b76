// The window's message loop while a firmware image downloads, beside the same
// loop idle for as long, in one run and so under the same load: the longest
// gap between two turns of a 1 ms timer in each, and their ratio. The first
// download of a run also reads the trust store, which libcurl then keeps for
// the rest of the run; its gap is reported apart. Goal: no gap near the
// 250 ms within which Escape must be seen, even on a busy machine.
//
// Needs the local HTTPS server and the test CA that only its launcher's
// process trusts:
//
//     tests/support/with-test-ca.sh build/test/tmp/bench-ca build/test/bench/quelt_bench --benchmark_filter=DownloadLoopGap
//
// Run it beside busy processes to see a loaded machine, e.g. 14 of
// `sh -c 'while :; do :; done' &`, and end them afterwards.

#include "upgrader/FirmwareDownload.h"
#include "upgrader/FirmwareServer.h"
#include "tests/support/LocalHttpsServer.h"
#include "tests/support/LoopGapMeter.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
    constexpr size_t imageSize = 1024 * 1024;

    struct Download
    {
        double gapMs = 0.0, tookMs = 0.0;
        juce::String failure;
    };

    Download download (const juce::URL& source, const juce::File& target)
    {
        Download measured;
        LoopGapMeter meter (1);
        const auto start = juce::Time::getMillisecondCounterHiRes();
        const auto result = zorv::FirmwareDownload::downloadToFile (source, target);
        measured.tookMs = juce::Time::getMillisecondCounterHiRes() - start;
        measured.gapMs = meter.longestSeconds() * 1000.0;
        measured.failure = result.getErrorMessage();
        return measured;
    }
}

static void BM_DownloadLoopGap (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceLife;
    LocalHttpsServer server;

    if (! server.start())
    {
        state.SkipWithError (server.getError().toRawUTF8());
        return;
    }

    // A loaded machine may take its time over a TLS handshake.
    auto limits = zorv::FirmwareServer::getTimeLimits();
    limits.connectMs = 20000;
    zorv::FirmwareServer::setTimeLimits (limits);

    juce::MemoryBlock image (imageSize);

    for (size_t i = 0; i < imageSize; ++i)
        image[i] = (char) ((i * 7 + i / 251) & 0xFF);

    server.addFile ("image.bin", image);
    const juce::URL source (server.getRootUrl() + "image.bin");
    juce::TemporaryFile target (".bin");

    const auto first = download (source, target.getFile());

    if (first.failure.isNotEmpty())
    {
        state.SkipWithError (first.failure.toRawUTF8());
        return;
    }

    double downloadGapMs = 0.0, idleGapMs = 0.0;

    for (auto _ : state)
    {
        const auto measured = download (source, target.getFile());

        if (measured.failure.isNotEmpty())
        {
            state.SkipWithError (measured.failure.toRawUTF8());
            return;
        }

        LoopGapMeter idle (1);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (juce::jmax (200, (int) measured.tookMs));

        downloadGapMs = juce::jmax (downloadGapMs, measured.gapMs);
        idleGapMs = juce::jmax (idleGapMs, idle.longestSeconds() * 1000.0);
    }

    state.counters["first_download_gap_ms"] = first.gapMs;
    state.counters["download_gap_ms"] = downloadGapMs;
    state.counters["idle_gap_ms"] = idleGapMs;
    state.counters["gap_ratio"] = downloadGapMs / juce::jmax (1.0, idleGapMs);
}

BENCHMARK (BM_DownloadLoopGap)->Iterations (10)->UseRealTime()->Unit (benchmark::kMillisecond);
