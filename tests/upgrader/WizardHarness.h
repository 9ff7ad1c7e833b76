#pragma once

#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/Product.h"
#include "upgrader/WizardFlags.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// What the wizard tests share: the wizard's globals put back after each test,
// and a stand-in user who answers every modal dialog, alert box and file
// chooser that the wizard opens while a step runs.
namespace wizard_test
{
    // Puts a global back as it was when the test began.
    template <typename Type>
    struct Saved
    {
        explicit Saved (Type& g) : global (g), value (g) {}
        ~Saved()    { global = value; }
        Type& global;
        const Type value;
    };

    // The wizard's mode flags outlive a wizard; no test may leave them changed.
    struct ScopedWizardGlobals
    {
        Saved<bool> autoMode { bAuto }, serial { bSerial }, test { zorv::bTest_fwug }, esc { zorv::bEsc },
                    anyZorv { zorv::bForAnyZorv }, protect { zorv::protectUiQ }, resetTitle { zorv::bResetTitle };
        Saved<int> successes { zorv::_num_UpgradeSuccess };
        Saved<juce::uint32> special { zorv::g_forSpecialDeviceQ };
    };

    // A dialog that never reaches the desktop, so titles and closing can be
    // checked without an X server. It notes close requests instead of hiding.
    struct OffscreenDialog : juce::DialogWindow
    {
        OffscreenDialog() : juce::DialogWindow ("Firmware Upgrade", juce::Colours::lightgrey, false, false) {}
        void closeButtonPressed() override  { ++closeRequests; }
        int closeRequests = 0;
    };

    // A wizard inside such a dialog, as the entry puts it.
    struct WizardInDialog
    {
        explicit WizardInDialog (int pid = 117, bool catalogueMode = true) : wizard (pid, catalogueMode)
        {
            dialog.setContentNonOwned (&wizard, true);
        }

        ~WizardInDialog()   { dialog.clearContentComponent(); }

        juce::String title() const     { return dialog.getName(); }

        zorv::FirmwareUpgradeComponent wizard;
        OffscreenDialog dialog;
    };

    inline juce::String enabledSteps (const zorv::FirmwareUpgradeComponent& wizard)
    {
        juce::String s;

        for (auto& b : wizard.stepButtons)
            s << (b.isEnabled() ? "1" : "0");

        return s;
    }

    inline bool hasDisplay()    { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }

    // Runs the message loop until `done` holds; false when it still does not
    // after `timeoutMs` (a deadline against hanging, far beyond what any
    // machine needs) or when the loop was told to stop.
    inline bool runMessageLoopUntil (const std::function<bool()>& done, int timeoutMs = 20000)
    {
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (! done())
        {
            if (juce::Time::getMillisecondCounter() > deadline
                || ! juce::MessageManager::getInstance()->runDispatchLoopUntil (10))
                return done();
        }

        return true;
    }

    template <typename ComponentType>
    ComponentType* findChild (juce::Component& root)
    {
        if (auto* c = dynamic_cast<ComponentType*> (&root))
            return c;

        for (auto* child : root.getChildren())
            if (auto* found = findChild<ComponentType> (*child))
                return found;

        return nullptr;
    }

    inline juce::Button* findButton (juce::Component& root, const juce::String& text)
    {
        if (auto* b = dynamic_cast<juce::Button*> (&root))
            if (b->getButtonText() == text && b->isEnabled())
                return b;

        for (auto* child : root.getChildren())
            if (auto* found = findButton (*child, text))
                return found;

        return nullptr;
    }

    // Answers modal components as they appear: by default it presses the
    // first of `preferredButtons` found in the dialog ("OK" unless a test says
    // otherwise); a test can take over with `onModal`, or keep it away from a
    // component with `leaveAlone`. Every alert box shown is noted as
    // "title|message" (it is the default look and feel meanwhile), and the
    // title of every other modal window in `windows`.
    class ModalAnswerer : private juce::Timer,
                          public juce::LookAndFeel_V4
    {
    public:
        ModalAnswerer()
        {
            juce::LookAndFeel::setDefaultLookAndFeel (this);
            startTimer (15);
        }

        ~ModalAnswerer() override
        {
            stopTimer();
            juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        }

        juce::AlertWindow* createAlertWindow (const juce::String& title, const juce::String& message,
                                              const juce::String& b1, const juce::String& b2, const juce::String& b3,
                                              juce::MessageBoxIconType icon, int numButtons,
                                              juce::Component* associated) override
        {
            alerts.add (title + "|" + message);
            warnings += icon == juce::MessageBoxIconType::WarningIcon ? 1 : 0;
            return LookAndFeel_V4::createAlertWindow (title, message, b1, b2, b3, icon, numButtons, associated);
        }

        juce::StringArray preferredButtons { "OK" };
        std::function<bool (juce::Component& modal)> onModal;
        std::function<bool (juce::Component& modal)> leaveAlone;

        juce::StringArray alerts;
        juce::StringArray windows;
        juce::StringArray stuck;    // dialogs that stayed after their answer, closed by force
        int warnings = 0;

    private:
        void timerCallback() override
        {
            auto* modal = juce::ModalComponentManager::getInstance()->getModalComponent (0);

            if (modal == nullptr || ! modal->isShowing() || (leaveAlone != nullptr && leaveAlone (*modal)))
                return;

            // A dialog that ignored its answer would hold the test forever.
            if (modal == lastAnswered.getComponent())
            {
                if (++ticksUnanswered > giveUpTicks)
                {
                    stuck.add (modal->getName());
                    modal->exitModalState (0);
                }

                return;
            }

            ticksUnanswered = 0;

            if (dynamic_cast<juce::AlertWindow*> (modal) == nullptr)
                windows.add (modal->getName());

            if (onModal != nullptr && onModal (*modal))
            {
                lastAnswered = modal;
                return;
            }

            for (const auto& text : preferredButtons)
            {
                if (auto* button = findButton (*modal, text))
                {
                    lastAnswered = modal;
                    button->triggerClick();
                    return;
                }
            }

            // Nothing to press: left to the give-up rule above.
            lastAnswered = modal;
        }

        static constexpr int giveUpTicks = 200;

        juce::Component::SafePointer<juce::Component> lastAnswered;
        int ticksUnanswered = 0;
    };

    // A wizard test that opens dialogs: the globals put back afterwards, the
    // in-memory MIDI system in place and the stand-in user answering.
    class DialogTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! hasDisplay())
                GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        }

        void TearDown() override
        {
            EXPECT_TRUE (user.stuck.isEmpty()) << user.stuck.joinIntoString (", ");
        }

        ScopedWizardGlobals globals;
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        ModalAnswerer user;
    };
}
