#pragma once

#include "tests/support/EmulatedController.h"
#include "tests/upgrader/WizardHarness.h"
#include "upgrader/MidiInputHandler.h"

// GCC says so with a macro of its own, clang through __has_feature.
#if defined (__SANITIZE_THREAD__)
 #define QUELT_UNDER_THREAD_SANITIZER 1
#elif defined (__has_feature)
 #if __has_feature (thread_sanitizer)
  #define QUELT_UNDER_THREAD_SANITIZER 1
 #endif
#endif

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

    // A dot in a window's corner that notes when the window is painted whole.
    // A window is painted when it is shown and again when the X server says it
    // has been mapped; such a paint, slow under the sanitizers, must not fall
    // in the middle of an upload, so an upload starts once the window has
    // been painted and then left alone for a while.
    class PaintProbe : public juce::Component
    {
    public:
        // Leaves the window when either goes.
        explicit PaintProbe (juce::Component& window)
        {
            setInterceptsMouseClicks (false, false);
            setBounds (0, 0, 1, 1);
            window.addAndMakeVisible (this);
        }

        void paint (juce::Graphics&) override
        {
            lastPaint = juce::Time::getMillisecondCounter();
        }

        bool hasSettled() const
        {
            return lastPaint != 0 && juce::Time::getMillisecondCounter() > lastPaint + 300;
        }

    private:
        juce::uint32 lastPaint = 0;
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

        // A unit waits within moments for the next byte of a frame. Under
        // ThreadSanitizer everything on the message thread runs several times
        // slower, and a single event of the loop that falls inside a frame
        // takes 100 to 150 ms by itself: there the bound only catches a frame
        // held for good. Every other build, AddressSanitizer's included,
        // keeps the tight one.
       #ifdef QUELT_UNDER_THREAD_SANITIZER
        static constexpr double longestGapInAFrameMs = 500.0;
       #else
        static constexpr double longestGapInAFrameMs = 50.0;
       #endif

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
            std::unique_ptr<PaintProbe> probe;
            bool started = false;
            juce::uint32 endedAt = 0;

            OnceDue found ([&] { return findOpenWizard (dialog, wizard); },
                           [&] { probe = std::make_unique<PaintProbe> (*wizard); });

            OnceDue start ([&] { return probe != nullptr && probe->hasSettled(); }, [&]
            {
                wizard->uploadHandler = std::make_unique<Handler> (wizard, zorv::Product::TrevanM);
                wizard->uploadHandler->start ("Zorv firmware upgrade");
                wizard->uploadHandler->openProgram (imageFile.getFile());
                wizard->updateProgress (3);
                started = true;
                wizard->stepButtons[4].triggerClick();
            });

            OnceDue interrupt ([&] { return started && (int) unit.upgradePorts().getReceived().size() >= interruptAt; },
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
        // then the reset, the image whole, and no two messages of one frame
        // further apart than longestGapInAFrameMs; else what went wrong.
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

            const auto received = unit.upgradePorts().getReceived();
            size_t first = 0;

            for (int frameSize : { controlMessages, controlMessages, dataMessages, dataMessages, dataMessages, controlMessages })
            {
                for (size_t i = first + 1; i < first + (size_t) frameSize && i < received.size(); ++i)
                    if (const auto gap = received[i].timeMs - received[i - 1].timeMs; gap > longestGapInAFrameMs)
                        found.add ("a pause of " + juce::String (gap, 1) + " ms before message " + juce::String ((int) i));

                first += (size_t) frameSize;
            }

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
        juce::MemoryBlock image { 1300 };
        juce::TemporaryFile imageFile { scratchFile() };
        bool interrupted = false;
    };
}
