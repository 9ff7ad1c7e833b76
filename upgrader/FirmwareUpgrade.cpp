#include "upgrader/FirmwareUpgrade.h"

#include "platform/FixedSizeDialog.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

namespace zorv
{
namespace
{
    const char* const hubWarningTitle = "Firmware Upgrader about to start";
    const char* const hubWarningText =
        "\n* IMPORTANT WARNING! *\n\n"
        "FAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR DEVICE!!\n\n"
        "- Connect ONLY the device you want to update\n"
        "- Make sure the power supply is connected (if any)\n"
        "- Connect device directly to computer (no hub)\n"
        "- Do not touch device during firmware update";

    // The wizard's dialog keeps the wizard's own closing rule: while the
    // wizard is busy its close button only gives up what can be given up (a
    // wait, a network transfer, the rest of an automatic run). Hidden, the
    // dialog would end its modal loop and give the user the editor back while
    // the step goes on unseen.
    class WizardDialog : public FixedSizeDialog
    {
    public:
        WizardDialog (std::unique_ptr<FirmwareUpgradeComponent> wizard, juce::Component* centreAround)
            : FixedSizeDialog (optionsFor (centreAround), std::move (wizard))
        {
        }

        void closeButtonPressed() override
        {
            if (FirmwareUpgrade::isBusy())
                giveUp();
            else
                setVisible (false);
        }

    private:
        // Escape is the wizard's own key: it gives up what is under way.
        static Options optionsFor (juce::Component* centreAround)
        {
            Options options;
            options.title = wizardTitle;
            options.centreAround = centreAround;
            options.escapeKeyCloses = false;
            return options;
        }
    };

    FirmwareUpgradeComponent* findOpenWizard()
    {
        auto& desktop = juce::Desktop::getInstance();

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* dialog = dynamic_cast<WizardDialog*> (desktop.getComponent (i)))
                if (auto* wizard = dynamic_cast<FirmwareUpgradeComponent*> (dialog->getContentComponent()))
                    return wizard;

        return nullptr;
    }
}

int FirmwareUpgrade::runWizardDialogModal (int pid, juce::Component* parent,
                                           bool showHubWarning, bool catalogueMode)
{
    if (showHubWarning && ! displayWarningAboutHUBs())
        return 0;

    // The dialog is deleted here, once control has come back out of its loop,
    // and not when it is dismissed: a step may still be running inside the
    // loop when the application quits.
    auto dialog = std::make_unique<WizardDialog> (std::make_unique<FirmwareUpgradeComponent> (pid, catalogueMode), parent);
    return dialog->runModalLoop();
}

bool FirmwareUpgrade::displayWarningAboutHUBs()
{
    return juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::InfoIcon,
                                               hubWarningTitle, hubWarningText, {}, {});
}

bool FirmwareUpgrade::isStepProtected()
{
    return protectUiQ;
}

bool FirmwareUpgrade::isBusy()
{
    return protectUiQ || bAuto;
}

bool FirmwareUpgrade::deferQuitWhileBusy()
{
    if (! isBusy())
        return false;

    // The quit waits for the step to end; what can end sooner does.
    giveUp();

    // Only a wizard sets these flags, so one is open; should none be found,
    // the request is refused all the same rather than cut a step short.
    if (auto* wizard = findOpenWizard())
        wizard->quitDeferred = true;

    return true;
}
}
