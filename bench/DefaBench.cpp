#include "core/Defa.h"
#include "core/MirrorTables.h"

#include <benchmark/benchmark.h>

// What the editor does when it fills its function box: one name and one value
// per entry of the value list. It runs on the message thread, so it has to fit
// well inside one frame.
static void BM_RefillFunctionList (benchmark::State& state)
{
    const int mode = (int) state.range (0);
    const int kind = (int) state.range (1);
    const int msgType = (int) state.range (2);

    refillMirrorTables (mode);

    juce::StringArray names;
    juce::Array<int> values;
    names.ensureStorageAllocated (128);
    values.ensureStorageAllocated (128);

    for (auto _ : state)
    {
        names.clearQuick();
        values.clearQuick();

        const int entries = Defa::nSelsInFunc2 (mode, kind);

        for (int sel = 0; sel < entries; ++sel)
        {
            names.add (Defa::getName3 (mode, kind, sel, msgType));
            values.add (Defa::getValue2 (mode, kind, sel));
        }

        benchmark::DoNotOptimize (names.strings.data());
        benchmark::DoNotOptimize (values.data());
    }

    state.counters["entries"] = Defa::nSelsInFunc2 (mode, kind);
}

static void refillArguments (benchmark::internal::Benchmark* b)
{
    for (int mode = 0; mode < 5; ++mode)
        for (int kind = 0; kind < 5; ++kind)
            for (int msgType : { 9, 11 })
                b->Args ({ mode, kind, msgType });
}

BENCHMARK (BM_RefillFunctionList)->Apply (refillArguments)->Unit (benchmark::kMicrosecond);
