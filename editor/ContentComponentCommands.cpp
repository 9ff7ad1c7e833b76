#include "editor/ContentComponent.h"

#include "editor/DeviceSelectComponent.h"

#include "core/CtMap.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"
#include "platform/FixedSizeDialog.h"
#include "upgrader/FirmwareUpgrade.h"

#include <memory>

namespace
{
    void showWarning (const juce::String& title, const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message);
    }
}

//==============================================================================
void ContentComponent::buttonClicked (juce::Button* button)
{
    // Every command opens a box, a dialog or a chooser, or sends a mapping
    // with pauses of its own; during a firmware step any of them would hold
    // the step where it is.
    const bool isCommand = button == &connectBtn || button == &sendBtn || button == &saveBtn
                        || button == &loadBtn || button == &firmwareBtn;

    if (isCommand && zorv::FirmwareUpgrade::isStepProtected())
        return;

    if (button == &connectBtn)
        connectToDevice();
    else if (button == &sendBtn)
        sendMapping();
    else if (button == &saveBtn)
        saveToFile();
    else if (button == &loadBtn)
        loadFromFile();
    else if (button == &firmwareBtn)
        zorv::FirmwareUpgrade::runWizardDialogModal (layoutProductId(), this, true, true);
    else if (auto* control = dynamic_cast<MappableButton*> (button))
        selectControl (*control);
}

//==============================================================================
void ContentComponent::connectToDevice()
{
    auto picker = std::make_unique<DeviceSelectComponent>();

    // The dialog goes before the picker it shows, also when the application
    // quits in the middle of the loop.
    FixedSizeDialog dialog ({ "Select your device", this }, *picker);

    // The port is only named here; the transfer opens it by name each time.
    if (dialog.runModalLoop() > 0)
        TrvPlus::getInstance()->setCurrentOutputDevice (picker->selectedName);
}

void ContentComponent::sendMapping()
{
    const auto result = TrvPlus::getInstance()->sendCurrentMapping();
    showWarning ("Send Mapping", result.failed() ? result.getErrorMessage() : juce::String ("Done!"));
}

void ContentComponent::saveToFile()
{
    juce::FileChooser chooser ("Save Mapping", {}, "*.quelt", true, false, nullptr);

    if (! chooser.browseForFileToSave (true))
        return;

    const auto result = TrvPlus::getInstance()->saveCurrentMapping (chooser.getResult());

    if (result.failed())
        showWarning ("Save Mapping", result.getErrorMessage());
}

void ContentComponent::loadFromFile()
{
    juce::FileChooser chooser ("Load Mapping", {}, "*.quelt", true, false, nullptr);

    if (chooser.browseForFileToOpen())
        loadMapping (chooser.getResult());
}

void ContentComponent::loadMapping (const juce::File& file)
{
    auto* trv = TrvPlus::getInstance();
    const auto result = trv->openFile (file);

    if (result.failed())
        showWarning ("Load Mapping", result.getErrorMessage());

    // Also after a failure: the page shows the current map as it now is.
    const int m = trv->getCurrentMap().getCtMode();
    modeBox.setSelectedItemIndex (juce::jmin (m, 3), juce::dontSendNotification);
    stabilize_controls();
}

