// A 64 KiB firmware upload through the real upload handler into an emulated
// Trevan M in upgrade mode that answers every frame at once, against the
// floor its pacing sets: per 512-byte data frame 530 nibble notes with 1 ms
// of message loop after every second (265 ms) and one 33 ms wait before its
// acknowledgement is looked at, 298 ms; plus 1 ms after every second of the
// 18 messages of each of the three control frames (connect, erase, reset),
// whose answers arrive during those pauses. Goal: at most 1.05 x floor.
//
//     build/<dir>/bench/quelt_bench --benchmark_filter=Upload
//
// One upload takes about 40 s, so the benchmark runs a fixed small number.

#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/Product.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
    using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;

    constexpr size_t imageSize = 64 * 1024;
    constexpr int frames = (int) (imageSize / 512);
    constexpr double frameFloorMs = 265.0 + 33.0;
    constexpr double controlFloorMs = 3 * 9.0;
    constexpr double floorMs = frames * frameFloorMs + controlFloorMs;

    // A throw-away image file of `size` bytes.
    struct TemporaryImage
    {
        explicit TemporaryImage (size_t size)
            : bytes (size)
        {
            for (size_t i = 0; i < size; ++i)
                bytes[i] = (char) ((i * 37 + 11) & 0xFF);

            file.getFile().replaceWithData (bytes.getData(), bytes.getSize());
        }

        juce::MemoryBlock bytes;
        juce::TemporaryFile file { ".bin" };
    };

    EmulatedController::Config answeringAtOnce()
    {
        auto c = EmulatedController::trevanM();
        c.startsInUpgradeMode = true;
        c.rebootsAfterReset = false;
        c.replyDelayMs = 0;
        return c;
    }
}

static void BM_Upload64KiB (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceLife;
    TemporaryImage image (imageSize);

    double totalMs = 0;
    int uploads = 0;

    for (auto _ : state)
    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, answeringAtOnce());
        Handler handler (nullptr, zorv::Product::TrevanM);
        handler.openProgram (image.file.getFile());
        handler.start (unit.upgradePorts().getOutputName());

        const auto start = juce::Time::getMillisecondCounterHiRes();
        const auto result = handler.sendProgram();
        totalMs += juce::Time::getMillisecondCounterHiRes() - start;
        ++uploads;

        handler.stop();
        midi.waitUntilIdle();

        if (result.failed())
        {
            state.SkipWithError (result.getErrorMessage().toRawUTF8());
            break;
        }

        auto fault = unit.violations().isEmpty() ? unit.imageMismatch (image.bytes) : unit.violations()[0];

        if (fault.isNotEmpty())
        {
            state.SkipWithError (fault.toRawUTF8());
            break;
        }
    }

    if (uploads > 0)
    {
        state.counters["ms_per_frame"] = totalMs / uploads / frames;
        state.counters["ratio_to_floor"] = totalMs / uploads / floorMs;
    }
}

BENCHMARK (BM_Upload64KiB)->Iterations (2)->UseRealTime()->Unit (benchmark::kMillisecond);
