#include "upgrader/Product.h"

#include <benchmark/benchmark.h>

// Step 4 reduces the server's catalogue to the unit's product on the message
// thread: a catalogue as long as one may be (65,000 entries of other
// products and two of this one) must not hold the window.
static void BM_KeepTheProductsEntries (benchmark::State& state)
{
    const int others = (int) state.range (0);
    juce::ValueTree server ("firmwares");

    const auto add = [&server] (int pid)
    {
        juce::ValueTree entry ("fw");
        entry.setProperty ("pid", pid, nullptr);
        server.appendChild (entry, nullptr);
    };

    add (117);

    for (int i = 0; i < others; ++i)
        add (118);

    add (117);

    for (auto _ : state)
    {
        state.PauseTiming();
        auto catalogue = server.createCopy();
        state.ResumeTiming();

        zorv::Product::keepEntriesFor (117, catalogue);
        benchmark::DoNotOptimize (catalogue.getNumChildren());

        state.PauseTiming();
        catalogue = {};
        state.ResumeTiming();
    }

    state.counters["entries"] = others + 2;
}

BENCHMARK (BM_KeepTheProductsEntries)->Arg (65000)->Unit (benchmark::kMillisecond);
