#include "tests/upgrader/HttpsFixture.h"
#include "tests/upgrader/WizardUpload.h"
#include "upgrader/FirmwareUpgrade.h"

// Step 4 against the project's local HTTPS server: the catalogue and the
// firmware download as the wizard runs them. Needs the test CA (ctest runs
// the suite through tests/support/with-test-ca.sh) and an X server.
namespace
{
    using namespace wizard_test;
    using zorv::FirmwareUpgradeComponent;

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

    const juce::String downloadFailed ("Firmware Download|Could not download firmware file");

    EmulatedController::Config unitInUpgradeMode()
    {
        auto config = EmulatedController::trevanM();
        config.startsInUpgradeMode = true;
        return config;
    }

    bool findOpenWizard (juce::DialogWindow*& dialog, FirmwareUpgradeComponent*& wizard)
    {
        dialog = dynamic_cast<juce::DialogWindow*> (juce::Component::getCurrentlyModalComponent());
        wizard = dialog != nullptr ? dynamic_cast<FirmwareUpgradeComponent*> (dialog->getContentComponent()) : nullptr;
        return wizard != nullptr && dialog->isShowing();
    }
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

TEST_F (WizardOverHttps, GivingUpEndsATricklingTransferAtOnceWhileTheDialogStays)
{
    // A host that never falls silent: the image would take hours to arrive,
    // the catalogue minutes. The limits on a whole answer are raised to the
    // test's hang limit, so that only a transfer given up ends in time.
    const juce::String imagePath ("fw/trevan_m_2.0.bin");
    server.addFile (imagePath, juce::MemoryBlock (1024 * 1024, true));
    server.addFile ("firmware.xml", "<firmwares>" + juce::String::repeatedString (" ", 20000) + "<fw pid=\"117\" name=\"Trevan M\""
                                        " version=\"2.0\" fw=\"" + imagePath + "\"/></firmwares>");

    auto hangLimits = zorv::FirmwareServer::getTimeLimits();
    hangLimits.catalogueMs = hangLimits.imageMs = (int) (https_test::generousSeconds * 1000);
    https_test::ScopedTimeLimits scopedHangLimits (hangLimits);

    LocalHttpsServer::Answer trickle, whole;
    trickle.trickleBytesPerSecond = 100;

    // The version picker is confirmed; a file chooser, should one come, is cancelled.
    user.preferredButtons = { "OK", "Cancel" };
    user.leaveAlone = [] (juce::Component& modal) { return findChild<FirmwareUpgradeComponent> (modal) != nullptr; };

    using Action = std::function<void (juce::DialogWindow&, FirmwareUpgradeComponent&)>;

    const Action closeButton = [] (juce::DialogWindow& dialog, FirmwareUpgradeComponent&) { dialog.userTriedToCloseWindow(); };
    const Action escape = [] (juce::DialogWindow&, FirmwareUpgradeComponent& wizard) { wizard.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); };
    const Action quitRequest = [] (juce::DialogWindow&, FirmwareUpgradeComponent&) { EXPECT_TRUE (zorv::FirmwareUpgrade::deferQuitWhileBusy()); };

    struct Case
    {
        const char* name;
        juce::String trickling;     // the path the host trickles
        int requestsBefore;         // its requests once the trickle has begun
        Action giveUp;
        juce::String alerts;
        juce::StringArray windows;
    };

    const Case cases[] = {
        { "close button during the download",   imagePath,      1, closeButton, downloadFailed, { "Firmware Version" } },
        { "Escape during the download",         imagePath,      1, escape,      downloadFailed, { "Firmware Version" } },
        { "quit request during the download",   imagePath,      1, quitRequest, downloadFailed, { "Firmware Version" } },
        // The probe, then the read; the user asked to stop, not for a file chooser.
        { "close button during the catalogue",  "firmware.xml", 2, closeButton, {},             {} },
    };

    for (const auto& c : cases)
    {
        server.setAnswer (imagePath, c.trickling == imagePath ? trickle : whole);
        server.setAnswer ("firmware.xml", c.trickling == imagePath ? whole : trickle);
        const auto requestsEarlier = server.countRequests ("/" + c.trickling);

        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, unitInUpgradeMode());
        user.alerts.clear();
        user.windows.clear();

        juce::DialogWindow* dialog = nullptr;
        FirmwareUpgradeComponent* wizard = nullptr;
        std::chrono::steady_clock::time_point clickedAt;
        bool givenUp = false, stayedAtOnce = false, stayedAfterTheStep = false;
        double secondsInStep = -1.0;
        size_t messagesToTheUnit = 0;

        // As steps 3 and 4 leave the wizard; then the user clicks "Select Version".
        OnceDue click ([&] { return findOpenWizard (dialog, wizard); }, [&]
        {
            wizard->uploadHandler = std::make_unique<FirmwareUpgradeComponent::MidiInputHandler> (wizard, zorv::Product::TrevanM);
            wizard->uploadHandler->start ("Zorv firmware upgrade");
            wizard->updateProgress (2);
            clickedAt = std::chrono::steady_clock::now();
            wizard->stepButtons[3].triggerClick();
        });

        OnceDue giveUp ([&] { return wizard != nullptr && zorv::protectUiQ
                                     && server.countRequests ("/" + c.trickling) >= requestsEarlier + c.requestsBefore; }, [&]
        {
            c.giveUp (*dialog, *wizard);
            givenUp = true;
            stayedAtOnce = dialog->isVisible() && dialog->isCurrentlyModal();
        });

        // The step is over once nothing protects the wizard and no box of its own is open.
        OnceDue stepEnded ([&] { return givenUp && ! zorv::protectUiQ
                                        && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 1; }, [&]
        {
            secondsInStep = https_test::secondsSince (clickedAt);
            messagesToTheUnit = unit.upgradePorts().getReceived().size();
            stayedAfterTheStep = dialog->isVisible() && dialog->isCurrentlyModal();
            dialog->userTriedToCloseWindow();
        });

        zorv::FirmwareUpgrade::runWizardDialogModal (117, nullptr, false, true);

        EXPECT_TRUE (givenUp) << c.name;
        EXPECT_TRUE (stayedAtOnce) << c.name;
        EXPECT_TRUE (stayedAfterTheStep) << c.name;
        EXPECT_GE (secondsInStep, 0.0) << c.name;
        EXPECT_LT (secondsInStep, https_test::generousSeconds) << c.name;
        EXPECT_EQ (user.alerts.joinIntoString ("\n"), c.alerts) << c.name;
        EXPECT_EQ (user.windows, c.windows) << c.name;
        EXPECT_TRUE (user.stuck.isEmpty()) << c.name << ": " << user.stuck.joinIntoString (", ");
        // Closing the wizard afterwards resets the unit, as always.
        EXPECT_EQ (messagesToTheUnit, 0u) << c.name;
    }

    user.leaveAlone = nullptr;
}
