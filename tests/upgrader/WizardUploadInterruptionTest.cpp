#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/WizardUpload.h"
#include "upgrader/FirmwareUpgrade.h"

// While the wizard uploads, nothing the user does in its dialog may stop the
// upload, hold a frame or reset the unit: the dialog's close button is
// refused (it only gives up what comes after the upload), and neither the
// name button nor F1 opens a box.
namespace
{
    using namespace wizard_test;
    using zorv::FirmwareUpgradeComponent;

    class WizardUploadInterruption : public DialogTest
    {
    protected:
        void runUpload (WizardUpload::Action duringUpload, WizardUpload::Action afterUpload = WizardUpload::closeDialog)
        {
            upload.run ([] { zorv::FirmwareUpgrade::runWizardDialogModal (117, nullptr, false, false); },
                        std::move (duringUpload), std::move (afterUpload));
        }

        // The one box of the upload: its outcome, once it is over.
        void expectOnlyTheSuccessBox()
        {
            EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Success|Your firmware has been upgraded!");
            EXPECT_TRUE (user.windows.isEmpty()) << user.windows.joinIntoString (", ");
        }

        WizardUpload upload { midi, user };
    };
}

TEST_F (WizardUploadInterruption, TheDialogStaysUntilTheUploadHasEndedAndAutoModeIsOff)
{
    bool stayedDuringUpload = false, gaveUp = false, stayedInAutoMode = false, closedAfterwards = false;

    runUpload ([&] (juce::DialogWindow& dialog, FirmwareUpgradeComponent&)
    {
        // The title bar's close button and the window manager's close both
        // come here. Like Escape it would end a serial run after this unit.
        bSerial = true;
        dialog.userTriedToCloseWindow();
        stayedDuringUpload = dialog.isVisible() && dialog.isCurrentlyModal();
        gaveUp = zorv::bEsc && ! bSerial;
    },
    [&] (juce::DialogWindow& dialog, FirmwareUpgradeComponent&)
    {
        bAuto = true;
        dialog.userTriedToCloseWindow();
        stayedInAutoMode = dialog.isVisible();

        bAuto = false;
        dialog.userTriedToCloseWindow();
        closedAfterwards = ! dialog.isVisible();
    });

    EXPECT_EQ (upload.problems(), juce::String());
    EXPECT_TRUE (stayedDuringUpload);
    EXPECT_TRUE (gaveUp);
    EXPECT_TRUE (stayedInAutoMode);
    EXPECT_TRUE (closedAfterwards);
    EXPECT_FALSE (upload.leftOpen);
    expectOnlyTheSuccessBox();
}

TEST_F (WizardUploadInterruption, TheNameButtonOpensNothingDuringTheUpload)
{
    bool enabledDuringUpload = true;

    runUpload ([&] (juce::DialogWindow&, FirmwareUpgradeComponent& wizard)
    {
        enabledDuringUpload = wizard.nameButton.isEnabled();
        wizard.nameButton.triggerClick();
        wizard.buttonClicked (&wizard.nameButton);
    });

    EXPECT_EQ (upload.problems(), juce::String());
    EXPECT_FALSE (enabledDuringUpload);
    expectOnlyTheSuccessBox();
}

TEST_F (WizardUploadInterruption, F1OpensNoAboutBoxDuringTheUpload)
{
    runUpload ([&] (juce::DialogWindow&, FirmwareUpgradeComponent& wizard)
    {
        EXPECT_FALSE (wizard.keyPressed (juce::KeyPress (juce::KeyPress::F1Key)));
    });

    EXPECT_EQ (upload.problems(), juce::String());
    expectOnlyTheSuccessBox();
}
