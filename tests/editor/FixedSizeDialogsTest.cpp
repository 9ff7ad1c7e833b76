#include "tests/editor/ContentComponentProbe.h"

#include "tests/support/EmulatedController.h"
#include "tests/support/X11SizeHints.h"
#include "tests/upgrader/WizardHarness.h"
#include "upgrader/FirmwareUpgrade.h"

// Every dialog the program makes itself (its alert boxes are JUCE's own),
// opened the way the program opens it and measured while it shows: its
// content keeps its own size whatever title bar the dialog has, JUCE offers
// no way to resize it, and the window manager is told that the window's size
// is fixed. Needs an X server.
using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // "Title: W x H" of the content, ", resizable to JUCE" when JUCE itself
    // would offer a resizer or ask for a resizable window, then ", fixed" when
    // the size hints hold the window to the size it has, else what they say.
    juce::String measure (juce::DialogWindow& dialog)
    {
        auto* content = dialog.getContentComponent();
        auto text = dialog.getName() + ": " + juce::String (content->getWidth()) + " x " + juce::String (content->getHeight());
        auto* peer = dialog.getPeer();

        if (dialog.isResizable() || peer == nullptr || (peer->getStyleFlags() & juce::ComponentPeer::windowIsResizable) != 0)
            text << ", resizable to JUCE";

       #if JUCE_LINUX
        const auto window = juce::String (dialog.getWidth()) + " x " + juce::String (dialog.getHeight());
        const auto hints = X11SizeHints::of (dialog);
        text << (hints == "min " + window + ", max " + window ? ", fixed" : ", hints: " + hints);
       #endif
        return text;
    }

    // Where a picker puts its list and buttons, sorted by name.
    juce::String layoutOf (juce::Component& picker)
    {
        juce::StringArray places;

        for (auto* child : picker.getChildren())
        {
            if (auto* button = dynamic_cast<juce::Button*> (child))
                places.add (button->getButtonText() + " " + child->getBounds().toString());
            else if (dynamic_cast<juce::ComboBox*> (child) != nullptr)
                places.add ("list " + child->getBounds().toString());
        }

        places.sort (true);
        return places.joinIntoString ("; ");
    }

    class FixedSizeDialogs : public PageFixture
    {
    protected:
        void SetUp() override
        {
            if (! wizard_test::hasDisplay())
                GTEST_SKIP() << "needs an X server (run under xvfb-run)";

            PageFixture::SetUp();
        }

        void TearDown() override
        {
            EXPECT_TRUE (user.stuck.isEmpty()) << user.stuck.joinIntoString (", ");
            PageFixture::TearDown();
        }

        // Notes a picker's measure and layout, then leaves it to the stand-in
        // user, who presses Cancel.
        bool measurePicker (juce::Component& modal)
        {
            if (auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal))
                seen.add (measure (*dialog) + "; " + layoutOf (*dialog->getContentComponent()));

            return false;
        }

        wizard_test::ScopedWizardGlobals globals;
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        wizard_test::ModalAnswerer user;
        juce::StringArray seen;
    };
}

TEST_F (FixedSizeDialogs, EditorsOutputPicker)
{
    user.preferredButtons = { "Cancel" };
    user.onModal = [this] (juce::Component& modal) { return measurePicker (modal); };

    page->buttonClicked (&probe->connectBtn());

    EXPECT_EQ (seen.joinIntoString ("\n"), "Select your device: 300 x 200, fixed; "
                                           "Cancel 190 160 100 30; Connect 90 160 100 30; list 8 76 284 24");
}

TEST_F (FixedSizeDialogs, WizardAndItsDevicePicker)
{
    // The wizard is measured, then step 3 opens the device picker for a unit
    // waiting in upgrade mode; it is measured and cancelled, and the wizard closed.
    auto config = EmulatedController::trevanM();
    config.startsInUpgradeMode = true;
    EmulatedController unit (midi, config);

    user.preferredButtons = { "Cancel" };
    user.onModal = [this] (juce::Component& modal)
    {
        auto* wizard = wizard_test::findChild<zorv::FirmwareUpgradeComponent> (modal);

        if (wizard == nullptr)
            return measurePicker (modal);

        if (seen.isEmpty())
        {
            auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal);
            seen.add (measure (*dialog) + "; bar " + wizard->progressBar.getBounds().toString());

            juce::MessageManager::callAsync ([wizard, dialog]
            {
                wizard->doStep3();
                dialog->closeButtonPressed();
            });
        }

        return true;
    };

    zorv::FirmwareUpgrade::runWizardDialogModal (117, page.get(), false, true);

    EXPECT_EQ (seen.joinIntoString ("\n"), "Firmware Upgrade: 514 x 491, fixed; bar 40 36 434 24\n"
                                           "Choose Your Zorv Device: 300 x 200, fixed; "
                                           "Cancel 190 160 100 30; list 8 76 284 24; OK 90 160 100 30");
}

TEST_F (FixedSizeDialogs, AboutBoxUnderJucesOwnTitleBarGoesOnEscape)
{
    juce::Component::SafePointer<juce::DialogWindow> about;
    user.onModal = [&] (juce::Component& modal)
    {
        about = dynamic_cast<juce::DialogWindow*> (&modal);

        if (about == nullptr)
            return false;

        seen.add (measure (*about) + (about->isUsingNativeTitleBar() ? ", native title bar" : ""));
        modal.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        return true;
    };

    // F1 opens it without waiting for it.
    page->keyPressed (juce::KeyPress (juce::KeyPress::F1Key));
    EXPECT_TRUE (wizard_test::runMessageLoopUntil ([&] { return ! seen.isEmpty() && about == nullptr; }));

    EXPECT_EQ (seen.joinIntoString ("\n"), "About Trevan M/X Quelt: 500 x 278, fixed");
}

TEST_F (FixedSizeDialogs, EscapeInTheWizardsDialogIsTheWizardsOwnKey)
{
    // Escape gives up what the wizard has under way; it must not close the
    // dialog over a running step, nor stop at the dialog.
    juce::Component::SafePointer<juce::DialogWindow> dialog;
    bool reachedTheWizard = false, stayedOpen = false;

    user.onModal = [&] (juce::Component& modal)
    {
        if (wizard_test::findChild<zorv::FirmwareUpgradeComponent> (modal) == nullptr)
            return false;

        dialog = dynamic_cast<juce::DialogWindow*> (&modal);

        // The key goes where the focus is: the dialog once the X server has
        // given its window the input focus, until then (and while another
        // test's window has it) the dialog as the modal window.
        zorv::bEsc = false;
        dialog->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
        reachedTheWizard = zorv::bEsc;
        stayedOpen = dialog->isVisible() && dialog->isCurrentlyModal();

        juce::MessageManager::callAsync ([dialog] { if (dialog != nullptr) dialog->closeButtonPressed(); });
        return true;
    };

    zorv::FirmwareUpgrade::runWizardDialogModal (117, page.get(), false, true);

    EXPECT_TRUE (reachedTheWizard);
    EXPECT_TRUE (stayedOpen);
}
