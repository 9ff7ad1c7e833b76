#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/WizardHarness.h"
#include "upgrader/FirmwareUpgrade.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/MidiInputHandler.h"

// The wizard as a component: what it shows when it opens, how its buttons
// follow the progress, its titles, operator keys and closing rules, the
// reset of units left in upgrade mode, and its entry.
namespace
{
    using zorv::FirmwareUpgradeComponent;
    using namespace wizard_test;

    void press (FirmwareUpgradeComponent& wizard, int keyCode)
    {
        EXPECT_FALSE (wizard.keyPressed (juce::KeyPress (keyCode)));
    }

    class Wizard : public ::testing::Test
    {
    protected:
        ScopedWizardGlobals globals;
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
    };
}

TEST_F (Wizard, OpensWithItsStepsTextsAndOnlyConnectEnabled)
{
    bAuto = true;
    zorv::bTest_fwug = zorv::bEsc = true;
    zorv::bForAnyZorv = false;
    zorv::_num_UpgradeSuccess = 7;

    FirmwareUpgradeComponent wizard (117, true);

    EXPECT_EQ (wizard.getLocalBounds(), juce::Rectangle<int> (0, 0, 514, 491));
    EXPECT_EQ (wizard.currentStep, -1);
    EXPECT_EQ (enabledSteps (wizard), "10000");
    EXPECT_EQ (wizard.progressLabel.getText(), "Upgrade Progress");
    EXPECT_TRUE (wizard.catalogue.hasType ("firmwares"));

    // The constructor sets its own flags and leaves auto mode alone.
    EXPECT_TRUE (bAuto);
    EXPECT_FALSE (zorv::bTest_fwug);
    EXPECT_FALSE (zorv::bEsc);
    EXPECT_TRUE (zorv::bForAnyZorv);
    EXPECT_TRUE (zorv::bResetTitle);
    EXPECT_EQ (zorv::_num_UpgradeSuccess, 0);
    EXPECT_EQ (zorv::g_forSpecialDeviceQ, 0u);

    const char* captions[] = { "Connect", "Enter", "Activate", "Select Version", "Upgrade" };

    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (wizard.stepButtons[i].getButtonText(), captions[i]);
        EXPECT_EQ (wizard.stepTitles[i].getText(), "Step " + juce::String (i + 1));
        EXPECT_EQ (wizard.stepRowLabels[i].getText(), "Step " + juce::String (i + 1) + ":");
    }

    EXPECT_EQ (wizard.stepDescriptions[0].getText(),
               "Please connect your Zorv device and click \"Connect\" button to create the connection.");
    EXPECT_EQ (wizard.stepDescriptions[1].getText(),
               "Click \"Enter\" button to enter into \"Firmware upgrade mode\".");
    EXPECT_EQ (wizard.stepDescriptions[2].getText(),
               "Click \"Activate\" button to activate the \"Firmware upgrade mode\".");
    EXPECT_EQ (wizard.stepDescriptions[3].getText(),
               "Click \"Select Version\", the process will automatically \nsearch for the most up to date "
               "firmware for your device \nat our server.");
    EXPECT_EQ (wizard.stepDescriptions[4].getText(), "Click \"Upgrade\" to start the file upload process.");
    EXPECT_EQ (wizard.noteLabel.getText(), "Note:");
    EXPECT_TRUE (wizard.noteText.getText().startsWith ("If your connected Zorv product model name does not appear"));
    EXPECT_EQ (wizard.nameButton.getButtonText(), "Update Device Name");
    EXPECT_EQ (wizard.nameButton.getTooltip(), "Click here to update the displaying name of your device.");
}

TEST_F (Wizard, LocalFileModeAndSpecialProductsChangeOnlyWhatTheyOwn)
{
    FirmwareUpgradeComponent wizard (186, false);

    EXPECT_EQ (wizard.stepButtons[3].getButtonText(), "Load File");
    EXPECT_TRUE (wizard.stepDescriptions[3].getText().startsWith ("Download the latest firmware on \""));
    EXPECT_TRUE (wizard.stepDescriptions[3].getText().endsWith (
        "\", then click the \"Load File\" button to browse the firmware file."));
    EXPECT_FALSE (wizard.catalogue.isValid());
    EXPECT_EQ (zorv::g_forSpecialDeviceQ, 1u);
    EXPECT_EQ (wizard.workingPid, 186);
}

TEST_F (Wizard, StepButtonsFollowTheProgressProtectionAndOnlyAutoUploadsCount)
{
    FirmwareUpgradeComponent wizard (117, true);

    // Spot checks of the layout: the steps in rows under the progress bar.
    EXPECT_EQ (wizard.progressBar.getBounds(), juce::Rectangle<int> (40, 36, 434, 24));
    EXPECT_EQ (wizard.stepButtons[4].getBounds(), juce::Rectangle<int> (17 + 4 * 96, 92, 90, 20));
    EXPECT_EQ (wizard.stepDescriptions[4].getY(), 410);
    EXPECT_EQ (wizard.nameButton.getBounds(), juce::Rectangle<int> (197, 438, 120, 20));

    const char* expected[] = { "11000", "11100", "11110", "11111", "11111" };

    for (int step = 0; step < 5; ++step)
    {
        wizard.updateProgress (step);
        EXPECT_DOUBLE_EQ (wizard.progress, (step + 1) / 5.0);
        EXPECT_EQ (enabledSteps (wizard), expected[step]) << step;
    }

    EXPECT_EQ (zorv::_num_UpgradeSuccess, 0) << "not in auto mode";

    // The name button's help box is modal: it waits for the step to end.
    wizard.protectUI (true);
    EXPECT_TRUE (zorv::protectUiQ);
    EXPECT_EQ (enabledSteps (wizard), "00000");
    EXPECT_FALSE (wizard.nameButton.isEnabled());

    wizard.updateProgress (-1);
    EXPECT_EQ (wizard.progress, 0.0);
    EXPECT_EQ (enabledSteps (wizard), "10000");
    EXPECT_FALSE (wizard.nameButton.isEnabled());

    wizard.protectUI (false);
    EXPECT_FALSE (zorv::protectUiQ);
    EXPECT_EQ (enabledSteps (wizard), "11111");
    EXPECT_TRUE (wizard.nameButton.isEnabled());

    bAuto = true;
    wizard.updateProgress (3);
    EXPECT_EQ (zorv::_num_UpgradeSuccess, 0);
    wizard.updateProgress (4);
    EXPECT_EQ (zorv::_num_UpgradeSuccess, 1);
}

TEST_F (Wizard, TitlesFollowSerialAndTestMode)
{
    WizardInDialog w;

    w.wizard.SetTitle ("(3)", false);
    EXPECT_EQ (w.title(), "Firmware Upgrade: (3)");
    w.wizard.SetTitle ({}, false);
    EXPECT_EQ (w.title(), "Firmware Upgrade");
    w.wizard.SetTitle ("ignored", true);
    EXPECT_EQ (w.title(), "Firmware Upgrade");

    press (w.wizard, 'T');
    EXPECT_TRUE (zorv::bTest_fwug);
    EXPECT_EQ (w.title(), "Firmware Upgrade.");
    press (w.wizard, 'M');
    EXPECT_FALSE (w.wizard.serverFetch);
    EXPECT_EQ (w.title(), "Firmware Upgrade.. [M]");
    press (w.wizard, 'M');
    EXPECT_EQ (w.title(), "Firmware Upgrade..");
    press (w.wizard, 'T');
    EXPECT_EQ (w.title(), "Firmware Upgrade");

    press (w.wizard, 'S');
    zorv::_num_UpgradeSuccess = 3;
    w.wizard.SetTitle ("Trevan M", false);
    EXPECT_EQ (w.title(), "Firmware Upgrade[3/20]: Trevan M");

    // Outside a window there is nothing to title or close, and nothing breaks.
    FirmwareUpgradeComponent loose (117, true);
    loose.SetTitle ("x", false);
    loose.quit();
}

TEST_F (Wizard, OperatorKeysToggleModesWithoutConsumingTheKey)
{
    WizardInDialog w;

    press (w.wizard, 'A');
    EXPECT_TRUE (bAuto);
    press (w.wizard, 'O');
    EXPECT_FALSE (zorv::bForAnyZorv);
    press (w.wizard, 'S');
    EXPECT_TRUE (bSerial);

    press (w.wizard, juce::KeyPress::escapeKey);
    EXPECT_TRUE (zorv::bEsc);
    EXPECT_FALSE (bSerial);

    press (w.wizard, 'S');
    EXPECT_TRUE (bSerial);
    EXPECT_FALSE (zorv::bEsc);

    press (w.wizard, 'A');
    EXPECT_FALSE (bAuto);
}

TEST_F (Wizard, RefusesToCloseWhileAStepRunsOrInAutoMode)
{
    WizardInDialog w;

    // Refused, but taken as Escape: what can end early does.
    for (bool* busy : { &zorv::protectUiQ, &bAuto })
    {
        *busy = true;
        zorv::bEsc = false;
        bSerial = true;
        w.wizard.userTriedToCloseWindow();
        *busy = false;
        EXPECT_TRUE (zorv::bEsc && ! bSerial);
    }

    EXPECT_EQ (w.dialog.closeRequests, 0);

    zorv::bEsc = false;
    bSerial = true;
    w.wizard.userTriedToCloseWindow();
    EXPECT_EQ (w.dialog.closeRequests, 1);
    EXPECT_TRUE (! zorv::bEsc && bSerial);

    w.wizard.quit();
    EXPECT_EQ (w.dialog.closeRequests, 2);
}

TEST_F (Wizard, ResetSendsEveryUnitInUpgradeModeTheResetFrame)
{
    auto config = EmulatedController::trevanM();
    config.startsInUpgradeMode = true;
    EmulatedController unit (midi, config);

    auto stuck = EmulatedController::trevanX();
    stuck.upgradePortName = "Zorv firmware upgrade 2";
    stuck.startsInUpgradeMode = true;
    stuck.rebootsAfterReset = false;
    EmulatedController second (midi, stuck);
    second.upgradePorts().setOpenFails (true);

    FirmwareUpgradeComponent wizard (117, true);

    // The second unit's port cannot be opened: it stays, and so the reset
    // reports that a unit is left in upgrade mode.
    EXPECT_FALSE (wizard.resetAllFwug0());
    midi.waitUntilIdle();

    ASSERT_EQ (unit.commands().size(), 1u);
    EXPECT_EQ (unit.commands()[0], EmulatedController::Command::reset);
    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");

    second.upgradePorts().setOpenFails (false);
    EXPECT_FALSE (wizard.resetAllFwug0());
    second.upgradePorts().setConnected (false);
    EXPECT_TRUE (wizard.resetAllFwug0());
}

TEST_F (Wizard, ClosingTheWizardResetsUnitsLeftInUpgradeMode)
{
    auto config = EmulatedController::trevanM();
    config.startsInUpgradeMode = true;
    EmulatedController unit (midi, config);

    {
        FirmwareUpgradeComponent wizard (117, true);
        wizard.uploadHandler = std::make_unique<FirmwareUpgradeComponent::MidiInputHandler> (&wizard, 117);
        wizard.uploadHandler->start ("Zorv firmware upgrade");
        ASSERT_TRUE (wizard.uploadHandler->isOutputOpen());
    }

    midi.waitUntilIdle();
    ASSERT_EQ (unit.commands().size(), 1u);
    EXPECT_EQ (unit.commands()[0], EmulatedController::Command::reset);
    EXPECT_EQ (unit.upgradePorts().getNumOpenInputs(), 0);
    EXPECT_EQ (unit.upgradePorts().getNumOpenOutputs(), 0);
}

//==============================================================================
// Desktop windows: run under Xvfb.
TEST_F (Wizard, EntryShowsTheHubWarningAndRunsTheWizardUntilItIsClosed)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    ModalAnswerer user;
    user.preferredButtons = { "Cancel" };

    EXPECT_EQ (zorv::FirmwareUpgrade::runWizardDialogModal (117, nullptr, true, true), 0);
    ASSERT_EQ (user.alerts.size(), 1);
    EXPECT_TRUE (user.alerts[0].startsWith ("Firmware Upgrader about to start|\n* IMPORTANT WARNING! *\n\n"));
    EXPECT_FALSE (user.windows.contains ("Firmware Upgrade"));

    // OK on the warning, then the wizard's own dialog, closed by its close button.
    user.preferredButtons = { "OK" };
    bool sawWizard = false;
    user.onModal = [&] (juce::Component& modal)
    {
        auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal);

        if (dialog == nullptr || findChild<FirmwareUpgradeComponent> (modal) == nullptr)
            return false;

        sawWizard = dialog->getName() == "Firmware Upgrade" && ! dialog->isResizable();
        dialog->closeButtonPressed();
        return true;
    };

    EXPECT_EQ (zorv::FirmwareUpgrade::runWizardDialogModal (117, nullptr, true, false), 0);
    EXPECT_TRUE (sawWizard);
    EXPECT_EQ (user.alerts.size(), 2);
}

TEST_F (Wizard, AboutBoxAndNameButtonExplainThemselves)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    ModalAnswerer user;
    FirmwareUpgradeComponent wizard (117, true);

    EXPECT_FALSE (wizard.keyPressed (juce::KeyPress (juce::KeyPress::F1Key)));
    wizard.nameButton.triggerClick();

    ASSERT_TRUE (runMessageLoopUntil ([&] { return user.alerts.size() == 2; })) << user.alerts.joinIntoString ("\n");
    EXPECT_EQ (user.alerts[0], "\n\nZorv Firmware Upgrader\n\nV1.54  Build A4|\n\n \nCopyright (c) 2012-2023 Zorv Pro Audio");
    EXPECT_TRUE (user.alerts[1].startsWith ("|\"Audio MIDI Setup\" is only available on macOS."));
    EXPECT_EQ (user.warnings, 0);
}
