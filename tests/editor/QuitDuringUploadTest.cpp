#include "tests/editor/ContentComponentProbe.h"

#include "editor/MainApp.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/WizardUpload.h"
#include "upgrader/FirmwareUpgrade.h"

// Once quitting, the message loop dispatches nothing more and the application
// goes: in the middle of a firmware upload the unit would be left
// half-written and then reset. While the
// wizard uploads, the main window's close button, Escape and the system's quit
// request are put off and the editor opens no box; once the wizard's step has
// ended, the application quits.
namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());
}

using QuitDuringUpload = TrvPlusFixture;

TEST_F (QuitDuringUpload, WaitsUntilTheWizardsStepHasEndedAndThenQuits)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    // Once quit, this process's message loop stays stopped: the test runs
    // only in a process of its own, as ctest runs every test.
    if (::testing::UnitTest::GetInstance()->test_to_run_count() != 1)
        GTEST_SKIP() << "ends the message loop: run it alone (--gtest_filter)";

    wizard_test::ScopedWizardGlobals globals;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    wizard_test::ModalAnswerer user;
    wizard_test::WizardUpload upload (midi, user);

    MainApp app;
    MainApp::MainWindow window (app.getApplicationName() + " " + app.getApplicationVersion());
    auto& page = dynamic_cast<ContentComponent&> (*window.getContentComponent());
    ContentComponentProbe probe { page };
    auto& messages = *juce::MessageManager::getInstance();

    // Off the desktop: a paint of the whole window, which the X server asks
    // for at moments of its own, takes close to 100 ms under the sanitizers
    // on a loaded machine and would hold a frame that long.
    window.removeFromDesktop();

    bool quitDuringUpload = true, quitBeforeStepReturned = true;

    upload.run ([&] { zorv::FirmwareUpgrade::runWizardDialogModal (117, &page, false, false); },
    [&] (juce::DialogWindow&, zorv::FirmwareUpgradeComponent&)
    {
        window.closeButtonPressed();
        EXPECT_TRUE (window.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        app.systemRequestedQuit();

        // Neither the About box nor the device picker comes up.
        page.keyPressed (juce::KeyPress (juce::KeyPress::F1Key));
        probe.connectBtn().triggerClick();

        quitDuringUpload = messages.hasStopMessageBeenSent();
    },
    [&] (juce::DialogWindow&, zorv::FirmwareUpgradeComponent&)
    {
        // The step still shows its outcome and tidies up first.
        quitBeforeStepReturned = messages.hasStopMessageBeenSent();
    });

    EXPECT_EQ (upload.problems(), juce::String());
    EXPECT_FALSE (quitDuringUpload);
    EXPECT_FALSE (quitBeforeStepReturned);
    EXPECT_TRUE (messages.hasStopMessageBeenSent());
    EXPECT_FALSE (upload.leftOpen);

    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Success|Your firmware has been upgraded!");
    EXPECT_TRUE (user.windows.isEmpty()) << user.windows.joinIntoString (", ");
}
