#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/Product.h"

#include <gtest/gtest.h>

// The real upload handler against the emulated unit, which was written from
// the wire format alone and checks every frame's header, command, argument,
// counter and checksum itself. Uploads of a few frames, the erase argument of
// another product and the upgrade-mode requests of every form are cross-checked
// through the handler and the wizard's steps (FirmwareUploadTest,
// WizardStepsTest); here what those do not reach: an upload long enough for
// the frame counter to wrap after FF, and a frame spoiled on its way.
namespace
{
    using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;
    using Command = EmulatedController::Command;

    // The in-memory MIDI system behind a cable that flips the lowest bit of
    // the last byte of one message on its way out, counted from 0 (a nibble
    // note then carries another nibble). Installed as the program's MIDI
    // system for its lifetime.
    class NoisyCable : public MidiBackend
    {
    public:
        NoisyCable (VirtualMidiSystem& m, int messageToSpoil)
            : midi (m), spoilAt (messageToSpoil), previous (MidiPorts::install (this)) {}

        ~NoisyCable() override      { MidiPorts::install (previous); }

        juce::StringArray getOutputNames() override     { return midi.getOutputNames(); }
        juce::StringArray getInputNames() override      { return midi.getInputNames(); }

        std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback& callback) override
        {
            return midi.openInput (index, callback);
        }

        std::unique_ptr<MidiOutputPort> openOutput (int index) override
        {
            auto port = midi.openOutput (index);
            return port != nullptr ? std::make_unique<Output> (*this, std::move (port)) : nullptr;
        }

    private:
        struct Output : MidiOutputPort
        {
            Output (NoisyCable& c, std::unique_ptr<MidiOutputPort> p) : cable (c), port (std::move (p)) {}

            juce::String getName() const override                   { return port->getName(); }
            void sendMessageNow (const juce::MidiMessage& m) override   { port->sendMessageNow (cable.pass (m)); }

            void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override
            {
                juce::MidiBuffer passed;

                for (const auto event : buffer)
                    passed.addEvent (cable.pass (event.getMessage()), event.samplePosition);

                port->sendBlockOfMessagesNow (passed);
            }

            NoisyCable& cable;
            std::unique_ptr<MidiOutputPort> port;
        };

        juce::MidiMessage pass (const juce::MidiMessage& m)
        {
            if (sent++ != spoilAt)
                return m;

            juce::MemoryBlock bytes (m.getRawData(), (size_t) m.getRawDataSize());
            bytes[bytes.getSize() - 1] ^= 1;
            return juce::MidiMessage (bytes.getData(), (int) bytes.getSize());
        }

        VirtualMidiSystem& midi;
        const int spoilAt;
        int sent = 0;
        MidiBackend* const previous;
    };

    class EmulatorCrossCheck : public ::testing::Test
    {
    protected:
        // A Trevan M in upgrade mode; answers come at once.
        static EmulatedController::Config unitInUpgradeMode()
        {
            auto c = EmulatedController::trevanM();
            c.startsInUpgradeMode = true;
            c.rebootsAfterReset = false;
            c.replyDelayMs = 0;
            return c;
        }

        // Uploads `image` through the unit's upgrade-mode port as the wizard's
        // step 5 does. Every phase the unit answers is waited for seconds,
        // however loaded the machine; a frame it never answers, a few slices.
        juce::Result upload (const juce::MemoryBlock& image, bool framesAnswered = true)
        {
            imageFile.getFile().replaceWithData (image.getData(), image.getSize());
            handler.openProgram (imageFile.getFile());
            handler.start ("Zorv firmware upgrade");

            Handler::Waits waits;
            waits.sliceMs = 1;
            waits.connectSlices = waits.eraseSlices = waits.resetSlices = 3000;
            waits.frameSlices = framesAnswered ? 3000 : 20;
            handler.setWaits (waits);

            const auto result = handler.sendProgram();
            handler.stop();
            midi.waitUntilIdle();
            return result;
        }

        // Every value 00..FF appears, nibble extremes included, in no simple order.
        static juce::MemoryBlock testImage (size_t size)
        {
            juce::MemoryBlock image (size);

            for (size_t i = 0; i < size; ++i)
                image[i] = (char) ((i * 37 + 11) & 0xFF);

            return image;
        }

        static juce::File scratchFolder()
        {
            juce::File folder (juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", QUELT_TEST_BINARY_DIR "/tmp"));
            folder.createDirectory();
            return folder;
        }

        juce::TemporaryFile imageFile { scratchFolder().getChildFile ("cross-check.bin") };
        VirtualMidiSystem midi;
        Handler handler { nullptr, zorv::Product::TrevanM };
    };
}

//==============================================================================
// The upload's own pacing sets its speed: 258 frames take about a minute.
TEST_F (EmulatorCrossCheck, TheFrameCounterWrapsAfterFFAndEveryFrameIsDecodedAndAcknowledged)
{
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, unitInUpgradeMode());

    // 258 frames: counters 00..FF, then 00 and 01; the last holds one byte.
    const auto image = testImage (257 * 512 + 1);
    const auto result = upload (image);

    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
    EXPECT_EQ (unit.imageMismatch (image), "");

    const auto frames = unit.frames();
    ASSERT_EQ (frames.size(), 2u + 258u + 1u);

    for (int k = 0; k < 258; ++k)
        EXPECT_EQ (frames[(size_t) k + 2].argument, k & 0xFF) << k;

    EXPECT_EQ (frames.back().command, Command::reset);
}

TEST_F (EmulatorCrossCheck, AFrameSpoiledOnTheWayIsReportedAndNotAcknowledged)
{
    // Connect and erase are a marker and 17 nibble notes each; then byte 200
    // of the first data frame's image bytes, after the frame's 17-byte header.
    NoisyCable cable (midi, 2 * 18 + 17 + 200);
    EmulatedController unit (midi, unitInUpgradeMode());

    EXPECT_EQ (upload (testImage (512), false).getErrorMessage(), "Could not write new firmware");

    ASSERT_EQ (unit.violations().size(), 1) << unit.violations().joinIntoString ("\n");
    EXPECT_TRUE (unit.violations()[0].contains ("write frame 2: checksum")) << unit.violations()[0];
    EXPECT_EQ (unit.commands(), (std::vector<Command> { Command::connect, Command::erase, Command::write }));
}
