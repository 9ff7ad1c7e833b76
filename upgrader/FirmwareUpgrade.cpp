#include "upgrader/FirmwareUpgrade.h"

#include "upgrader/FirmwareUpgradeComponent.h"

namespace zorv
{
namespace
{
    const char* const wizardTitle = "Firmware Upgrade";
    const char* const hubWarningTitle = "Firmware Upgrader about to start";
    const char* const hubWarningText =
        "\n* IMPORTANT WARNING! *\n\n"
        "FAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR DEVICE!!\n\n"
        "- Connect ONLY the device you want to update\n"
        "- Make sure the power supply is connected (if any)\n"
        "- Connect device directly to computer (no hub)\n"
        "- Do not touch device during firmware update";
}

int FirmwareUpgrade::runWizardDialogModal (int pid, juce::Component* parent,
                                           bool showHubWarning, bool catalogueMode)
{
    if (showHubWarning && ! displayWarningAboutHUBs())
        return 0;

    juce::DialogWindow::LaunchOptions options;
    options.content.setOwned (new FirmwareUpgradeComponent (pid, catalogueMode));
    options.componentToCentreAround = parent;
    options.dialogTitle = wizardTitle;
    options.escapeKeyTriggersCloseButton = false;
    options.resizable = false;
    options.useNativeTitleBar = true;

    // The dialog's close button can be pressed while a step is still running
    // inside the modal loop. Were the dialog deleted when it is dismissed, that
    // step would go on in a deleted wizard; so the dialog is deleted here, once
    // control has come back out of the loop.
    std::unique_ptr<juce::DialogWindow> dialog (options.create());
    return dialog->runModalLoop();
}

bool FirmwareUpgrade::displayWarningAboutHUBs()
{
    return juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::InfoIcon,
                                               hubWarningTitle, hubWarningText, {}, {});
}
}
