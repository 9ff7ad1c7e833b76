#include "upgrader/FirmwareSelectComponent.h"

#include "upgrader/DeviceHelpers.h"
#include "upgrader/DeviceSelectComponent.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

namespace zorv
{
namespace
{
    const juce::Identifier entryName ("name");
    const juce::Identifier entryVersion ("version");

    juce::String itemTextOf (const juce::ValueTree& entry)
    {
        return entry.getProperty (entryName).toString() + " V" + entry.getProperty (entryVersion).toString();
    }
}

FirmwareSelectComponent::FirmwareSelectComponent (const juce::ValueTree& catalogue)
    : juce::Component (pickerComponentName),
      firmwares (catalogue.createCopy())
{
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (list);

    for (int i = 0; i < firmwares.getNumChildren(); ++i)
        list.addItem (itemTextOf (firmwares.getChild (i)), i + 1);

    list.setSelectedItemIndex (0, juce::sendNotificationAsync);

    okButton.addListener (this);
    cancelButton.addListener (this);
    list.addListener (this);

    setSize (300, 200);

    // Clicks once the dialog's modal loop runs.
    if (bAuto)
        okButton.triggerClick();
}

FirmwareSelectComponent::~FirmwareSelectComponent()
{
    okButton.removeListener (this);
    cancelButton.removeListener (this);
    list.removeListener (this);
}

juce::URL FirmwareSelectComponent::getDownloadUrl() const
{
    const auto index = list.getSelectedItemIndex();

    if (index < 0 || index >= firmwares.getNumChildren())
        return {};

    return FirmwareServer::getDownloadUrl (firmwares.getChild (index));
}

void FirmwareSelectComponent::paint (juce::Graphics&)
{
}

void FirmwareSelectComponent::resized()
{
    DeviceSelectComponent::layOut (getWidth(), getHeight(), list, cancelButton, okButton);
}

void FirmwareSelectComponent::buttonClicked (juce::Button* button)
{
    auto* dialog = findParentComponentOfClass<juce::DialogWindow>();

    if (dialog == nullptr)
        return;

    if (button == &okButton)
    {
        // An entry of the operating system's synth has no business on a device.
        if (! DeviceHelpers::isSystemSynthName (list.getText()))
            dialog->exitModalState (1);
    }
    else if (button == &cancelButton)
    {
        dialog->closeButtonPressed();
    }
}

void FirmwareSelectComponent::comboBoxChanged (juce::ComboBox*)
{
}
}
