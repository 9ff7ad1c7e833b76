#include "tests/support/LocalHttpsServer.h"
#include "tests/upgrader/WizardHarness.h"
#include "upgrader/FirmwareServer.h"

// Step 4 against the project's local HTTPS server: the catalogue and the
// firmware download as the wizard runs them. Needs the test CA (ctest runs
// the suite through tests/support/with-test-ca.sh) and an X server.
namespace
{
    using namespace wizard_test;

    class WizardOverHttps : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! LocalHttpsServer::findCertificateFolder().isDirectory())
                GTEST_SKIP() << "needs the test CA: run through tests/support/with-test-ca.sh";

            if (! hasDisplay())
                GTEST_SKIP() << "needs an X server (run under xvfb-run)";

            ASSERT_TRUE (server.start()) << server.getError();
            zorv::FirmwareServer::setRootUrl (server.getRootUrl());
        }

        void TearDown() override
        {
            zorv::FirmwareServer::setRootUrl (zorv::FirmwareServer::defaultRootUrl);
        }

        ScopedWizardGlobals globals;
        LocalHttpsServer server;
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
