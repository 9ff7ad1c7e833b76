#include "tests/support/EmulatedController.h"
#include "tests/support/HangGuard.h"
#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/FirmwareFrames.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/Product.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>

#if JUCE_LINUX || JUCE_MAC
 #include <sys/stat.h>
#endif

// The upload handler against a unit in upgrade mode: the emulated Trevan,
// which checks every frame and keeps the image it received, or a scripted
// unit that answers exactly what a test tells it to.
namespace
{
    using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;
    using Command = EmulatedController::Command;
    using Phase = EmulatedController::Phase;

    const juce::String upgradePort ("Zorv firmware upgrade");

    // Messages per frame on the wire: the marker and 17 nibble notes, or 530
    // nibble notes without a marker.
    constexpr int controlMessages = 18;
    constexpr int dataMessages = 530;

    const char* const powerCycleText = "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, "
                                       "then turn back on for changes to take effect";

    // Slices of 1 ms, so that an answer ends its wait at once. A phase the
    // unit answers is waited for seconds, however loaded the machine; one in
    // which it stays silent on purpose gets a few slices only.
    Handler::Waits waitsSilentIn (std::initializer_list<Phase> silentPhases = {})
    {
        constexpr int answeredSlices = 3000;
        constexpr int silentSlices = 20;

        Handler::Waits w;
        w.sliceMs = 1;
        w.connectSlices = w.eraseSlices = w.frameSlices = w.resetSlices = answeredSlices;

        for (auto phase : silentPhases)
        {
            switch (phase)
            {
                case Phase::connect:  w.connectSlices = silentSlices; break;
                case Phase::erase:    w.eraseSlices = silentSlices; break;
                case Phase::frame:    w.frameSlices = silentSlices; break;
                case Phase::reset:    w.resetSlices = silentSlices; break;
            }
        }

        return w;
    }

    // For the scripted unit, whose answers are in before the upload looks
    // for them: whatever it does not answer at once, it never answers.
    Handler::Waits waitsForAnswersGivenAtOnce()
    {
        Handler::Waits w;
        w.sliceMs = 1;
        w.connectSlices = w.eraseSlices = w.frameSlices = w.resetSlices = 5;
        return w;
    }

    juce::MemoryBlock testImage (size_t size)
    {
        juce::MemoryBlock image (size);

        for (size_t i = 0; i < size; ++i)
            image[i] = (char) ((i * 37 + 11) & 0xFF);

        return image;
    }

    juce::MidiMessage note (int noteNumber, int velocity)
    {
        return juce::MidiMessage (0x9F, noteNumber, velocity);
    }

    // Restores the erase frame the other suites expect.
    struct ScopedEraseFrame
    {
        ~ScopedEraseFrame()
        {
            zorv::setEraseArgument (zorv::Product::TrevanM);
            zorv::sealControlFrame (zorv::midiErase);
        }
    };

    // A folder of its own under the test run's scratch folder, removed at the end.
    struct ScratchFolder
    {
        ScratchFolder()
        {
            auto base = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", QUELT_TEST_BINARY_DIR "/tmp");
            // A unique name: parallel test processes race between "does it exist" and "create".
            folder = juce::File (base).getChildFile ("FirmwareUpload-" + juce::Uuid().toString());
            folder.createDirectory();
        }

        ~ScratchFolder()    { folder.deleteRecursively(); }

        juce::File write (const juce::MemoryBlock& bytes) const
        {
            auto file = folder.getNonexistentChildFile ("image", ".bin", false);
            file.replaceWithData (bytes.getData(), bytes.getSize());
            return file;
        }

        juce::File folder;
    };

    // A unit in upgrade mode that answers by script: after the n-th message it
    // receives it sends the replies given for n, through the MIDI thread; an
    // answer without a delay is in before the call that sent the n-th message
    // returns. Its receiver runs on the sending thread, the message thread,
    // so `onEachMessage` can look at the wizard safely while the upload is
    // under way.
    class ScriptedUnit
    {
    public:
        explicit ScriptedUnit (VirtualMidiSystem& m)
            : midi (m), device (m.addDevice (upgradePort, upgradePort))
        {
            device.setReceiver ([this] (const juce::MidiMessage&) { received(); });
        }

        ~ScriptedUnit()
        {
            device.setReceiver (nullptr);
            device.setConnected (false);
        }

        void answerAfter (int messageCount, const juce::MidiMessage& reply, int delayMs = 0)
        {
            script.emplace (messageCount, Answer { reply, delayMs });
        }

        // Acknowledges connect, erase and `frames` data frames, and the reset
        // when `resetReply` is given.
        void answerUpload (int frames, std::optional<juce::MidiMessage> resetReply = note (0x02, 0))
        {
            answerAfter (controlMessages, note (0x7F, 0));
            answerAfter (2 * controlMessages, note (0x00, 0));

            for (int i = 1; i <= frames; ++i)
                answerAfter (2 * controlMessages + i * dataMessages, note (0x01, 0));

            if (resetReply)
                answerAfter (3 * controlMessages + frames * dataMessages, *resetReply);
        }

        int messagesReceived() const    { return count; }

        std::function<void()> onEachMessage;

    private:
        void received()
        {
            ++count;

            if (onEachMessage)
                onEachMessage();

            auto range = script.equal_range (count);
            bool answeredAtOnce = false;

            for (auto it = range.first; it != range.second; ++it)
            {
                device.reply (it->second.reply, it->second.delayMs);
                answeredAtOnce = answeredAtOnce || it->second.delayMs == 0;
            }

            if (answeredAtOnce)
                midi.waitUntilIdle();
        }

        struct Answer
        {
            juce::MidiMessage reply;
            int delayMs;
        };

        VirtualMidiSystem& midi;
        VirtualMidiDevice& device;
        std::multimap<int, Answer> script;
        int count = 0;
    };

    EmulatedController::Config upgradingUnit()
    {
        auto c = EmulatedController::trevanM();
        c.startsInUpgradeMode = true;
        c.rebootsAfterReset = false;
        c.replyDelayMs = 1;
        return c;
    }

    class FirmwareUpload : public ::testing::Test
    {
    protected:
        // Loads an image of `size` bytes, opens the upgrade-mode port and uploads.
        juce::Result upload (size_t size, Handler::Waits waits = {})
        {
            image = testImage (size);
            handler.openProgram (scratch.write (image));
            handler.start (upgradePort);
            handler.setWaits (waits);
            return handler.sendProgram();
        }

        std::vector<Command> commands()
        {
            midi.waitUntilIdle();
            return unit.commands();
        }

        static std::vector<Command> commandsOf (int dataFrames, bool withReset = true)
        {
            std::vector<Command> c { Command::connect, Command::erase };
            c.insert (c.end(), (size_t) dataFrames, Command::write);

            if (withReset)
                c.push_back (Command::reset);

            return c;
        }

        ScopedEraseFrame eraseFrame;
        ScratchFolder scratch;
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        EmulatedController unit { midi, upgradingUnit() };
        Handler handler { nullptr, zorv::Product::TrevanM };
        juce::MemoryBlock image;
    };
}

//==============================================================================
TEST_F (FirmwareUpload, TheUnitReceivesTheWholeImageFrameByFrame)
{
    // Three frames, the last holding 276 image bytes and 236 bytes of padding;
    // the unit checks every frame's layout, counter and checksum.
    const auto result = upload (1300);

    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (commands(), commandsOf (3));
    EXPECT_EQ (unit.imageMismatch (image), juce::String());
    EXPECT_EQ (unit.violations().joinIntoString ("\n"), juce::String());

    // The upload leaves the image in place, so it can be sent again.
    unit.reset();
    EXPECT_TRUE (handler.sendProgram().wasOk());
    midi.waitUntilIdle();
    EXPECT_EQ (unit.imageMismatch (image), juce::String());
    EXPECT_EQ (unit.violations().joinIntoString ("\n"), juce::String());
}

TEST_F (FirmwareUpload, ImagesOutsideTheSizeLimitsAreRefusedBeforeAnythingIsSent)
{
    for (size_t size : { (size_t) 0, (size_t) 511, Handler::maxImageSize, Handler::maxImageSize + 4096 })
    {
        SCOPED_TRACE (juce::String ((int) size).toStdString());
        const auto result = upload (size);

        EXPECT_EQ (result.getErrorMessage(), "Firmware exception!");
        midi.waitUntilIdle();
        EXPECT_TRUE (unit.upgradePorts().getReceived().empty());
    }

    // An oversized file is not read whole: what was read is already too much.
    EXPECT_EQ (handler.getSize(), Handler::maxImageSize);

    // A file that cannot be read gives an empty image.
    handler.openProgram (scratch.folder.getChildFile ("missing.bin"));
    EXPECT_EQ (handler.getSize(), (size_t) 0);
    EXPECT_EQ (handler.sendProgram().getErrorMessage(), "Firmware exception!");

   #if JUCE_LINUX || JUCE_MAC
    // So does a FIFO, whose read would wait for a writer for good.
    const auto fifo = scratch.folder.getChildFile ("fifo.bin");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    auto* opener = &handler;
    ASSERT_TRUE (HangGuard::finishesWithin (30, [opener, fifo] { opener->openProgram (fifo); }));
    EXPECT_EQ (handler.getSize(), (size_t) 0);
    EXPECT_EQ (handler.sendProgram().getErrorMessage(), "Firmware exception!");
   #endif

    // The largest image allowed goes on to connect; the unit stays silent so
    // that 4096 frames are not sent.
    unit.setAnswers (Phase::connect, false);
    EXPECT_EQ (upload (Handler::maxImageSize - 1, waitsSilentIn ({ Phase::connect })).getErrorMessage(),
               "Could not connect to hardware");
    EXPECT_EQ (commands(), (std::vector<Command> { Command::connect }));
}

TEST_F (FirmwareUpload, EachSilentPhaseEndsTheUploadAsTheUnitExpects)
{
    struct Case
    {
        Phase silentPhase;
        const char* failure;            // empty: success
        std::vector<Command> sent;
    };

    const Case cases[] = {
        { Phase::connect, "Could not connect to hardware", { Command::connect } },
        { Phase::erase,   "",                              commandsOf (2) },
        { Phase::frame,   "Could not write new firmware",  commandsOf (1, false) },
        { Phase::reset,   "",                              commandsOf (2) },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE ((int) c.silentPhase);
        unit.reset();
        unit.setAnswers (c.silentPhase, false);

        EXPECT_EQ (upload (1000, waitsSilentIn ({ c.silentPhase })).getErrorMessage(), juce::String (c.failure));
        EXPECT_EQ (commands(), c.sent);
        unit.setAnswers (c.silentPhase, true);
    }

    // A reset answered with velocity 7F asks for a power cycle.
    unit.reset();
    unit.setResetAnswer (EmulatedController::ResetAnswer::velocity7F);
    EXPECT_EQ (upload (600, waitsSilentIn()).getErrorMessage(), powerCycleText);
    EXPECT_EQ (commands(), commandsOf (2));
}

TEST_F (FirmwareUpload, AFrameTheUnitNeverAnswersFailsTheUploadOnThatFrame)
{
    unit.setFrameNeverAnswered (1);
    EXPECT_EQ (upload (1536, waitsSilentIn()).getErrorMessage(), "Could not write new firmware");
    EXPECT_EQ (commands(), commandsOf (2, false));
}

TEST_F (FirmwareUpload, AcknowledgementsArriveOnTheMidiThread)
{
    struct Probe : Handler
    {
        Probe (VirtualMidiSystem& m) : Handler (nullptr, zorv::Product::TrevanM), midi (m) {}

        void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& m) override
        {
            ++(midi.isMidiThread() ? onMidiThread : elsewhere);
            Handler::handleIncomingMidiMessage (source, m);
        }

        VirtualMidiSystem& midi;
        std::atomic<int> onMidiThread { 0 }, elsewhere { 0 };
    };

    Probe probe (midi);
    probe.openProgram (scratch.write (testImage (1024)));
    probe.start (upgradePort);

    EXPECT_TRUE (probe.sendProgram().wasOk());
    midi.waitUntilIdle();

    // Connect, erase, two frames, reset.
    EXPECT_EQ (probe.onMidiThread.load(), 5);
    EXPECT_EQ (probe.elsewhere.load(), 0);
}

//==============================================================================
TEST_F (FirmwareUpload, PortsOpenByTheirRulesAndAreCheckedFirst)
{
    handler.openProgram (scratch.write (testImage (512)));
    EXPECT_EQ (handler.sendProgram().getErrorMessage(), "No MIDI input device is open");

    handler.start (upgradePort);
    EXPECT_TRUE (handler.isInputOpen() && handler.isOutputOpen());
    handler.stop();
    EXPECT_FALSE (handler.isInputOpen() || handler.isOutputOpen());
    EXPECT_EQ (unit.upgradePorts().getNumOpenInputs() + unit.upgradePorts().getNumOpenOutputs(), 0);

    // The input is found ignoring case, the output only by its exact name.
    unit.upgradePorts().setOutputName (upgradePort.toLowerCase());
    handler.start (upgradePort.toUpperCase());
    EXPECT_TRUE (handler.isInputOpen());
    EXPECT_FALSE (handler.isOutputOpen());
    EXPECT_EQ (handler.sendProgram().getErrorMessage(), "No MIDI output device is open");

    // stop() closes a lone output only together with an input; start() always
    // replaces both.
    unit.upgradePorts().setOutputName (upgradePort);
    unit.upgradePorts().setInputName ("something else");
    handler.start (upgradePort);
    ASSERT_TRUE (handler.isOutputOpen());
    handler.stop();
    EXPECT_TRUE (handler.isOutputOpen());

    handler.start ("no such port");
    EXPECT_FALSE (handler.isInputOpen() || handler.isOutputOpen());
    EXPECT_EQ (unit.upgradePorts().getNumOpenOutputs(), 0);
}

//==============================================================================
TEST (FirmwareUploadReplies, OnlyNoteOnsOnChannel16CountAndVelocity7FIsNoAcknowledgement)
{
    struct Case
    {
        juce::MidiMessage answerToConnect;
        const char* result;
    };

    const Case cases[] = {
        { juce::MidiMessage (0x9E, 0x7F, 0x00), "Could not connect to hardware" },
        { juce::MidiMessage (0x8F, 0x7F, 0x00), "Could not connect to hardware" },
        { note (0x03, 0x00),                    "Could not connect to hardware" },
        { note (0x7F, 0x7F),                    "Could not connect to hardware" },
        { note (0x00, 0x00),                    "Could not connect to hardware" },
        // Connected: then the unit says nothing more, so the first frame fails.
        { note (0x7F, 0x00),                    "Could not write new firmware" },
        { note (0x7F, 0x40),                    "Could not write new firmware" },
    };

    ScratchFolder scratch;
    const auto file = scratch.write (testImage (512));

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String::toHexString (c.answerToConnect.getRawData(), 3).toStdString());

        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        ScriptedUnit unit (midi);
        unit.answerAfter (controlMessages, c.answerToConnect);

        Handler handler (nullptr, zorv::Product::TrevanM);
        handler.openProgram (file);
        handler.start (upgradePort);
        handler.setWaits (waitsForAnswersGivenAtOnce());

        EXPECT_EQ (handler.sendProgram().getErrorMessage(), juce::String (c.result));
    }
}

TEST (FirmwareUploadReplies, A7FAtAnyTimeEndsTheResetWaitWithThePowerCycleText)
{
    ScratchFolder scratch;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    ScriptedUnit unit (midi);

    // Everything is acknowledged except the reset; a stray 7F comes with the
    // only frame's answer, long before the reset.
    unit.answerUpload (1, std::nullopt);
    unit.answerAfter (2 * controlMessages + dataMessages, note (0x10, 0x7F));

    Handler handler (nullptr, zorv::Product::TrevanM);
    handler.openProgram (scratch.write (testImage (512)));
    handler.start (upgradePort);

    // The unit's own timeouts: without the 7F the silent reset would succeed.
    EXPECT_EQ (handler.sendProgram().getErrorMessage(), powerCycleText);
    EXPECT_EQ (unit.messagesReceived(), 3 * controlMessages + dataMessages);
}

TEST (FirmwareUploadReplies, AFrameAnsweredTheMomentItsLastByteLeavesCounts)
{
    ScratchFolder scratch;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    Handler handler (nullptr, zorv::Product::TrevanM);

    // The fastest unit there can be: its answer to the frame is in before the
    // call that sent the frame's last byte has even returned.
    ScriptedUnit unit (midi);
    unit.answerAfter (controlMessages, note (0x7F, 0));
    unit.answerAfter (2 * controlMessages, note (0x00, 0));
    unit.answerAfter (3 * controlMessages + dataMessages, note (0x02, 0));

    unit.onEachMessage = [&]
    {
        if (unit.messagesReceived() == 2 * controlMessages + dataMessages)
            handler.handleIncomingMidiMessage (nullptr, note (0x01, 0));
    };

    handler.openProgram (scratch.write (testImage (512)));
    handler.start (upgradePort);
    handler.setWaits (waitsForAnswersGivenAtOnce());

    const auto result = handler.sendProgram();
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
}

TEST (FirmwareUploadReplies, AFrameAnsweredLateInsideItsOnlySliceCounts)
{
    ScratchFolder scratch;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    // Everything but the frame is answered at once; the frame's answer comes
    // 20 ms after its last byte, inside the one long slice of its wait, and
    // must be seen although no further slice follows.
    ScriptedUnit unit (midi);
    unit.answerAfter (controlMessages, note (0x7F, 0));
    unit.answerAfter (2 * controlMessages, note (0x00, 0));
    unit.answerAfter (2 * controlMessages + dataMessages, note (0x01, 0), 20);
    unit.answerAfter (3 * controlMessages + dataMessages, note (0x02, 0));

    auto waits = waitsForAnswersGivenAtOnce();
    waits.frameSlices = 1;
    waits.sliceMs = 1000;

    Handler handler (nullptr, zorv::Product::TrevanM);
    handler.openProgram (scratch.write (testImage (512)));
    handler.start (upgradePort);
    handler.setWaits (waits);

    const auto result = handler.sendProgram();
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
}

TEST (FirmwareUploadProgress, EachPhaseShowsItsTextAndTheShareOfTheImageSent)
{
    ScratchFolder scratch;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    // The wizard outlives the unit, so that its own reset of units in upgrade
    // mode at its end finds none.
    zorv::FirmwareUpgradeComponent wizard (zorv::Product::TrevanM, false);

    // What the wizard shows whenever a message goes out, without repeats.
    std::vector<std::pair<juce::String, double>> shown;

    ScriptedUnit unit (midi);
    unit.answerUpload (3);
    Handler handler (&wizard, zorv::Product::TrevanM);

    unit.onEachMessage = [&]
    {
        std::pair<juce::String, double> now { wizard.progressLabel.getText(), wizard.progress };

        if (shown.empty() || shown.back() != now)
            shown.push_back (now);
    };

    const size_t size = 1300;
    handler.openProgram (scratch.write (testImage (size)));
    handler.start (upgradePort);
    ASSERT_TRUE (handler.sendProgram().wasOk());

    auto at = [size] (size_t done) { return 0.8 + 0.2 * (double) done / (double) (size + 3); };

    // Whole frames are counted: the short last frame would take the share
    // past 1, where the bar stops showing a percentage; it stops at 1.
    const std::vector<std::pair<juce::String, double>> expected {
        { "Connecting...",  at (0) },
        { "Erasing...",     at (1) },
        { "Installing...",  at (2) },
        { "Installing...",  at (512) },
        { "Installing...",  at (1024) },
        { "Resetting...",   1.0 },
    };

    EXPECT_EQ (shown, expected);
    EXPECT_EQ (wizard.progress, 1.0);
}
