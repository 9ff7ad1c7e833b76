#include "tests/editor/ContentComponentProbe.h"

#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"

// "Connect" picks the output port in a modal dialog on the desktop; a user
// stand-in presses one of its buttons once the dialog is up.
using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    struct DialogAnswer : juce::Timer
    {
        explicit DialogAnswer (juce::String buttonText) : text (std::move (buttonText)) { startTimer (20); }

        void timerCallback() override
        {
            auto* dialog = dynamic_cast<juce::DialogWindow*> (juce::Component::getCurrentlyModalComponent());

            if (dialog == nullptr || dialog->getName() != "Select your device")
                return;

            title = dialog->getName();
            stopTimer();

            if (auto* b = find (*dialog))
                b->triggerClick();
        }

        juce::Button* find (juce::Component& c)
        {
            if (auto* b = dynamic_cast<juce::TextButton*> (&c); b != nullptr && b->getButtonText() == text)
                return b;

            for (auto* child : c.getChildren())
                if (auto* b = find (*child))
                    return b;

            return nullptr;
        }

        juce::String text, title;
    };

    bool hasDisplay() { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }
}

class ConnectDialog : public PageFixture
{
protected:
    // Clicks "Connect", answers the dialog with `button`, then tries a transfer.
    juce::Result connectWith (const juce::String& button, EmulatedController& unit, VirtualMidiSystem& midi)
    {
        DialogAnswer answer (button);
        probe->connectBtn().triggerClick();

        for (int i = 0; i < 100 && answer.isTimerRunning(); ++i)
            runMessageLoop (20);

        runMessageLoop (50);
        EXPECT_EQ (answer.title, "Select your device");

        const auto result = trv->sendCurrentMapping();
        midi.waitUntilIdle();
        juce::ignoreUnused (unit);
        return result;
    }
};

TEST_F (ConnectDialog, ConnectChoosesTheOfferedPortForTheTransfer)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X display";

    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    midi.addDevice ("Some Synth", "Some Synth");
    EmulatedController unit (midi, EmulatedController::trevanM());

    const auto result = connectWith ("Connect", unit, midi);
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (unit.numCompleteTransfers(), 1);
}

TEST_F (ConnectDialog, CancelLeavesTheOutputPortUnchosen)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X display";

    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());

    const auto result = connectWith ("Cancel", unit, midi);
    EXPECT_EQ (result.getErrorMessage(), "No device selected");
    EXPECT_EQ (unit.numCompleteTransfers(), 0);
}
