// The whole mapping transfer of the factory "mackie" map into an emulated
// Trevan M, against the floor its pacing sets: 2 ms after the start frame,
// 1 ms after each of the 101 pairs and after every second of the 388 notes
// and markers sent singly (194), 297 ms in all. Goal: at most 1.05 x floor.
//
// Run it only through the wrapper that gives the process a throw-away /var
// and home folder, because the mapping singleton writes the settings file
// when it is deleted:
//
//     tests/support/with-private-var.sh build/<dir>/bench/quelt_bench --benchmark_filter=Transfer
//
// Run without the wrapper it refuses before the singleton exists, so nothing
// is ever written outside. The singleton can be made once per process, so the
// benchmark runs a fixed number of transfers in one go.

#include "core/CtMode.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cstdlib>

namespace
{
    constexpr double floorMs = 2.0 + 101.0 + 194.0;

    bool inPrivateVar()
    {
        // Exported by tests/support/with-private-var.sh inside its namespace.
        return std::getenv ("QUELT_READONLY_DIR") != nullptr;
    }
}

static void BM_TransferFactoryMackie (benchmark::State& state)
{
    if (! inPrivateVar())
    {
        state.SkipWithError ("run through tests/support/with-private-var.sh: the singleton writes a settings file");
        return;
    }

    juce::ScopedJuceInitialiser_GUI juceLife;
    auto* trv = TrvPlus::getInstance();

    if (trv == nullptr)
    {
        state.SkipWithError ("the mapping singleton can be made once per process");
        return;
    }

    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, EmulatedController::trevanM());

        displayingExpander = false;
        trv->setCtMode (CtMode (CtMode::mackie));
        trv->setCurrentOutputDevice ("Trevan M");

        double totalMs = 0;
        int transfers = 0;

        for (auto _ : state)
        {
            const auto start = juce::Time::getMillisecondCounterHiRes();
            const auto result = trv->sendCurrentMapping();
            totalMs += juce::Time::getMillisecondCounterHiRes() - start;
            ++transfers;

            if (result.failed())
            {
                state.SkipWithError (result.getErrorMessage().toRawUTF8());
                break;
            }
        }

        if (! unit.violations().isEmpty())
            state.SkipWithError (unit.violations()[0].toRawUTF8());

        if (transfers > 0)
        {
            state.counters["ms_per_transfer"] = totalMs / transfers;
            state.counters["ratio_to_floor"] = totalMs / transfers / floorMs;
        }
    }

    TrvPlus::deleteInstance();
}

BENCHMARK (BM_TransferFactoryMackie)->Iterations (20)->UseRealTime()->Unit (benchmark::kMillisecond);
