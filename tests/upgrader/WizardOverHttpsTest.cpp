#include "tests/upgrader/HttpsFixture.h"
#include "tests/upgrader/WizardHarness.h"

// Step 4 against the project's local HTTPS server: the catalogue and the
// firmware download as the wizard runs them. Needs the test CA (ctest runs
// the suite through tests/support/with-test-ca.sh) and an X server.
namespace
{
    using namespace wizard_test;

    class WizardOverHttps : public https_test::HttpsTest
    {
    protected:
        void SetUp() override
        {
            if (! hasDisplay())
                GTEST_SKIP() << "needs an X server (run under xvfb-run)";

            HttpsTest::SetUp();
        }

        ScopedWizardGlobals globals;
        ModalAnswerer user;
    };
}

TEST_F (WizardOverHttps, Step4InAutoModeGoesNoFurtherAfterAFailedDownload)
{
    // The catalogue names an image the server does not have.
    server.addFile ("firmware.xml", "<firmwares><fw pid=\"117\" name=\"Trevan M\" version=\"2.0\" fw=\"fw/missing.bin\"/></firmwares>");

    WizardInDialog w (117, true);
    w.wizard.updateProgress (2);

    // The version picker confirms itself; step 5 would say that no port is open.
    bAuto = true;
    w.wizard.doStep4();

    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Download|Could not download firmware file");
    EXPECT_EQ (w.wizard.currentStep, 2);
    EXPECT_EQ (server.countRequests ("/fw/missing.bin"), 1);
}
