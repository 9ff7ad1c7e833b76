#include "tests/editor/ContentComponentProbe.h"

#include "tests/upgrader/WizardHarness.h"

// "Firmware Upgrade" opens the wizard, after the hub warning and in catalogue
// mode, for the product of the layout shown.
using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());
}

using FirmwareButton = PageFixture;

TEST_F (FirmwareButton, OpensTheWizardForTheTrevanXOnlyInItsLayout)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    wizard_test::ScopedWizardGlobals globals;
    wizard_test::ModalAnswerer user;
    juce::StringArray opened;

    // OK on the hub warning; the wizard is noted and closed.
    user.onModal = [&] (juce::Component& modal)
    {
        auto* wizard = wizard_test::findChild<zorv::FirmwareUpgradeComponent> (modal);
        auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal);

        if (wizard == nullptr || dialog == nullptr)
            return false;

        opened.add (juce::String (wizard->ctorPid) + (wizard->serverFetchAtOpen ? " from the server" : " from a file"));
        dialog->closeButtonPressed();
        return true;
    };

    page->keyPressed (juce::KeyPress ('X'));
    page->buttonClicked (&probe->firmwareBtn());
    page->keyPressed (juce::KeyPress ('M'));
    page->buttonClicked (&probe->firmwareBtn());

    EXPECT_EQ (opened, juce::StringArray ({ "118 from the server", "117 from the server" }));
    ASSERT_EQ (user.alerts.size(), 2);
    EXPECT_TRUE (user.alerts[0].startsWith ("Firmware Upgrader about to start|"));
    EXPECT_EQ (user.alerts[1], user.alerts[0]);
}
