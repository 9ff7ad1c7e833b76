#pragma once

#include "tests/support/EmulatedController.h"
#include "tests/upgrader/WizardHarness.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/SleepMs.h"

#include <map>

// An upload through the wizard's own dialog against the emulated Trevan M in
// upgrade mode, for the tests of what the user may do while it runs. The
// wizard is left as steps 3 and 4 leave it (its upload handler on the unit's
// upgrade-mode port, a three-frame image loaded) and its "Upgrade" button is
// clicked; when the unit has received part of the first data frame, the test's
// interruption runs from the message loop, as a click or key would arrive in
// the middle of a frame. Needs an X server.
namespace wizard_test
{
    // Runs `action` once, from the message loop, as soon as `due` holds.
    class OnceDue : private juce::Timer
    {
    public:
        OnceDue (std::function<bool()> dueCheck, std::function<void()> actionToRun)
            : due (std::move (dueCheck)), action (std::move (actionToRun))
        {
            startTimer (5);
        }

        ~OnceDue() override     { stopTimer(); }

        bool hasRun() const     { return ran; }

    private:
        void timerCallback() override
        {
            if (ran || ! due())
                return;

            ran = true;
            stopTimer();
            action();
        }

        std::function<bool()> due;
        std::function<void()> action;
        bool ran = false;
    };

    // Every pump of the message thread while it lives, noted with the number
    // of messages the device had received when it began: the pauses inside
    // the upload's frames as the upload asks for them, which a loaded machine
    // cannot stretch as it stretches their length on the clock.
    class PacingLog
    {
    public:
        // The pause after every second message, counted from 1 through all
        // phases of the upload.
        static constexpr int pacingMs = 1;

        explicit PacingLog (VirtualMidiDevice& unitPorts) : device (unitPorts)
        {
            zorv::watchPumps ([this] (int ms) { pumpsAfter[device.getNumReceived()].push_back (ms); });
        }

        ~PacingLog()    { zorv::watchPumps (nullptr); }

        // Empty when, inside each frame (of the sizes given, in order), one
        // pause of pacingMs follows each even-numbered message and nothing
        // else runs the message loop; else the first places where not.
        juce::String problems (const std::vector<int>& frameSizes) const
        {
            juce::StringArray found;
            size_t first = 0;

            for (int frameSize : frameSizes)
            {
                for (size_t i = first + 1; i < first + (size_t) frameSize && found.size() < 10; ++i)
                {
                    const auto expected = i % 2 == 0 ? std::vector<int> { pacingMs } : std::vector<int>();
                    const auto pumps = pumpsAfter.count (i) != 0 ? pumpsAfter.at (i) : std::vector<int>();

                    if (pumps != expected)
                    {
                        juce::StringArray lengths;

                        for (int ms : pumps)
                            lengths.add (juce::String (ms));

                        found.add ("after message " + juce::String ((int) i) + ": pumps of ["
                                   + lengths.joinIntoString (", ") + "] ms");
                    }
                }

                first += (size_t) frameSize;
            }

            return found.joinIntoString ("\n");
        }

    private:
        VirtualMidiDevice& device;
        std::map<size_t, std::vector<int>> pumpsAfter;
    };

    class WizardUpload
    {
    public:
        using Command = EmulatedController::Command;
        using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;
        using Action = std::function<void (juce::DialogWindow&, zorv::FirmwareUpgradeComponent&)>;

        // Messages of the upload: connect and erase (a marker and 17 nibble
        // notes each), three data frames of 530, the reset.
        static constexpr int controlMessages = 18;
        static constexpr int dataMessages = 530;
        static constexpr int dataFrames = 3;

        // The first data frame's byte 162: where a modal box was seen to hold it.
        static constexpr int interruptAt = 2 * controlMessages + 162;

        // connect, erase, the data frames, the reset
        static std::vector<int> frameSizes()
        {
            std::vector<int> sizes { controlMessages, controlMessages };
            sizes.insert (sizes.end(), (size_t) dataFrames, dataMessages);
            sizes.push_back (controlMessages);
            return sizes;
        }

        WizardUpload (VirtualMidiSystem& midi, ModalAnswerer& answerer)
            : unit (midi, unitInUpgradeMode()), user (answerer)
        {
            // The wizard's dialog is the test's to drive.
            user.leaveAlone = [] (juce::Component& modal) { return findChild<zorv::FirmwareUpgradeComponent> (modal) != nullptr; };

            for (size_t i = 0; i < image.getSize(); ++i)
                image[i] = (char) ((i * 37 + 11) & 0xFF);

            imageFile.getFile().replaceWithData (image.getData(), image.getSize());
        }

        ~WizardUpload()     { user.leaveAlone = nullptr; }

        // Runs `openWizard`, which must open the wizard's dialog modally and
        // return once it has closed. `duringUpload` runs at message
        // interruptAt; `afterUpload` once the step has ended with the
        // interface free again (by default it closes the dialog with its close
        // button). A dialog still open 10 s after that is closed by force and
        // noted in `leftOpen`.
        void run (const std::function<void()>& openWizard, Action duringUpload, Action afterUpload = closeDialog)
        {
            juce::DialogWindow* dialog = nullptr;
            zorv::FirmwareUpgradeComponent* wizard = nullptr;
            bool started = false;
            juce::uint32 endedAt = 0;

            OnceDue start ([&] { return findOpenWizard (dialog, wizard); }, [&]
            {
                wizard->uploadHandler = std::make_unique<Handler> (wizard, zorv::Product::TrevanM);
                wizard->uploadHandler->start ("Zorv firmware upgrade");
                wizard->uploadHandler->openProgram (imageFile.getFile());
                wizard->updateProgress (3);
                started = true;
                wizard->stepButtons[4].triggerClick();
            });

            OnceDue interrupt ([&] { return started && (int) unit.upgradePorts().getNumReceived() >= interruptAt; },
                               [&] { duringUpload (*dialog, *wizard); });

            OnceDue end ([&] { return started && wizard->currentStep == -1 && ! zorv::protectUiQ; }, [&]
            {
                endedAt = juce::Time::getMillisecondCounter();
                afterUpload (*dialog, *wizard);
            });

            OnceDue forceClose ([&] { return endedAt != 0 && juce::Time::getMillisecondCounter() > endedAt + 10000; },
                                [&] { leftOpen = true; dialog->exitModalState (0); });

            openWizard();
            interrupted = interrupt.hasRun();
        }

        static void closeDialog (juce::DialogWindow& dialog, zorv::FirmwareUpgradeComponent&)
        {
            dialog.userTriedToCloseWindow();
        }

        // Empty when the unit received connect, erase, every data frame and
        // then the reset, the image whole, each frame paced as it should be
        // (PacingLog); else what went wrong.
        juce::String problems() const
        {
            juce::StringArray found;

            if (! interrupted)
                found.add ("the upload ended before the interruption");

            std::vector<Command> expected { Command::connect, Command::erase };
            expected.insert (expected.end(), (size_t) dataFrames, Command::write);
            expected.push_back (Command::reset);

            if (unit.commands() != expected)
                found.add ("the unit received " + juce::String ((int) unit.commands().size()) + " frames, not "
                           + juce::String ((int) expected.size()) + " ending with the reset");

            if (auto mismatch = unit.imageMismatch (image); mismatch.isNotEmpty())
                found.add (mismatch);

            if (! unit.violations().isEmpty())
                found.add (unit.violations().joinIntoString ("\n"));

            if (auto pacingProblems = pacing.problems (frameSizes()); pacingProblems.isNotEmpty())
                found.add (pacingProblems);

            return found.joinIntoString ("\n");
        }

        EmulatedController unit;
        bool leftOpen = false;

    private:
        static EmulatedController::Config unitInUpgradeMode()
        {
            auto config = EmulatedController::trevanM();
            config.startsInUpgradeMode = true;
            return config;
        }

        static juce::File scratchFile()
        {
            auto base = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", QUELT_TEST_BINARY_DIR "/tmp");
            juce::File (base).createDirectory();
            return juce::File (base).getChildFile ("trevan_m_upload.bin");
        }

        static bool findOpenWizard (juce::DialogWindow*& dialog, zorv::FirmwareUpgradeComponent*& wizard)
        {
            dialog = dynamic_cast<juce::DialogWindow*> (juce::Component::getCurrentlyModalComponent());
            wizard = dialog != nullptr ? dynamic_cast<zorv::FirmwareUpgradeComponent*> (dialog->getContentComponent()) : nullptr;
            return wizard != nullptr && dialog->isShowing();
        }

        ModalAnswerer& user;
        PacingLog pacing { unit.upgradePorts() };
        juce::MemoryBlock image { 1300 };
        juce::TemporaryFile imageFile { scratchFile() };
        bool interrupted = false;
    };
}
