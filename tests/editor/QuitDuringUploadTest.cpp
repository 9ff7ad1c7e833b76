#include "tests/editor/ContentComponentProbe.h"

#include "editor/MainApp.h"
#include "tests/support/QuitSignalsAtStart.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/WizardUpload.h"
#include "upgrader/FirmwareUpgrade.h"

#include <csignal>

// Once quitting, the message loop dispatches nothing more and the application
// goes: in the middle of a firmware upload the unit would be left
// half-written and then reset. While the wizard uploads, every way of asking
// the application to quit is put off, a second request like the first, and
// the editor opens no box; once the wizard's step has ended, the application
// quits.
namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    struct QuitRequest
    {
        const char* name;
        std::function<void (MainApp&, MainApp::MainWindow&)> ask;
        int signal = 0;     // the one it raises, if any
    };

    const QuitRequest quitRequests[] =
    {
        { "CloseButton",    [] (MainApp&, MainApp::MainWindow& window) { window.closeButtonPressed(); } },
        { "Escape",         [] (MainApp&, MainApp::MainWindow& window) { EXPECT_TRUE (window.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey))); } },
        { "SystemRequest",  [] (MainApp& app, MainApp::MainWindow&)    { app.systemRequestedQuit(); } },
        // Ctrl-C in the terminal, the signal of a logout, a closed terminal.
        { "SIGINT",         [] (MainApp&, MainApp::MainWindow&)        { std::raise (SIGINT); },  SIGINT },
        { "SIGTERM",        [] (MainApp&, MainApp::MainWindow&)        { std::raise (SIGTERM); }, SIGTERM },
        { "SIGHUP",         [] (MainApp&, MainApp::MainWindow&)        { std::raise (SIGHUP); },  SIGHUP },
    };

    // Names the case in test names and reports.
    void PrintTo (const QuitRequest& request, std::ostream* out)    { *out << request.name; }
}

class QuitDuringUpload : public TrvPlusFixture,
                         public ::testing::WithParamInterface<QuitRequest>
{
};

TEST_P (QuitDuringUpload, WaitsUntilTheWizardsStepHasEndedAndThenQuits)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    // Once quit, this process's message loop stays stopped: the test runs
    // only in a process of its own, as ctest runs every test.
    if (::testing::UnitTest::GetInstance()->test_to_run_count() != 1)
        GTEST_SKIP() << "ends the message loop: run it alone (--gtest_filter)";

    if (const auto signal = GetParam().signal; signal != 0 && startedWithAQuitSignalIgnored)
        GTEST_SKIP() << "started with a quit signal ignored, which it then keeps (run it from ctest)";

    wizard_test::ScopedWizardGlobals globals;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    wizard_test::ModalAnswerer user;
    wizard_test::WizardUpload upload (midi, user);

    MainApp app;
    app.initializeApplication();
    MainApp::MainWindow window (app.getApplicationName() + " " + app.getApplicationVersion());
    auto& page = dynamic_cast<ContentComponent&> (*window.getContentComponent());
    ContentComponentProbe probe { page };
    auto& messages = *juce::MessageManager::getInstance();

    bool quitDuringUpload = true, quitBeforeStepReturned = true, wizardTookTheQuitOver = false;

    upload.run ([&] { zorv::FirmwareUpgrade::runWizardDialogModal (117, &page, false, false); },
    [&] (juce::DialogWindow&, zorv::FirmwareUpgradeComponent&)
    {
        GetParam().ask (app, window);
        GetParam().ask (app, window);

        // Neither the About box nor the device picker comes up.
        page.keyPressed (juce::KeyPress (juce::KeyPress::F1Key));
        probe.connectBtn().triggerClick();

        quitDuringUpload = messages.hasStopMessageBeenSent();
    },
    [&] (juce::DialogWindow&, zorv::FirmwareUpgradeComponent& wizard)
    {
        // The step still shows its outcome and tidies up first.
        quitBeforeStepReturned = messages.hasStopMessageBeenSent();
        wizardTookTheQuitOver = wizard.quitDeferred;
    });

    EXPECT_EQ (upload.problems(), juce::String());
    EXPECT_FALSE (quitDuringUpload);
    EXPECT_FALSE (quitBeforeStepReturned);
    EXPECT_TRUE (wizardTookTheQuitOver);
    EXPECT_TRUE (messages.hasStopMessageBeenSent());
    EXPECT_FALSE (upload.leftOpen);

    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Success|Your firmware has been upgraded!");
    EXPECT_TRUE (user.windows.isEmpty()) << user.windows.joinIntoString (", ");
}

INSTANTIATE_TEST_SUITE_P (EveryWayOfQuitting, QuitDuringUpload, ::testing::ValuesIn (quitRequests));
