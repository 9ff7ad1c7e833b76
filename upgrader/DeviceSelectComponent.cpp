#include "upgrader/DeviceSelectComponent.h"

#include "upgrader/DeviceHelpers.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/SleepMs.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

namespace zorv
{
namespace
{
    constexpr int numTries = 3;

    // A port may still be registering with the system when the picker opens:
    // between two looks, 3 x 50 ms of message loop.
    constexpr int pumpsBetweenTries = 3;
    constexpr int pumpMs = 50;

    // getNumsOf_Fwug_and_Prod weighs upgrade-mode ports by this, so that a
    // count from 1 to weight - 1 means "no upgrade-mode port, that many
    // ports of the product".
    constexpr int upgradePortWeight = 16;

    const char* const notFoundText = "Warning: Cannot find target unit!";

    juce::StringArray itemTexts (const juce::ComboBox& box)
    {
        juce::StringArray texts;

        for (int i = 0; i < box.getNumItems(); ++i)
            texts.add (box.getItemText (i));

        return texts;
    }
}

DeviceSelectComponent::DeviceSelectComponent (int productId, const juce::String& target)
    : juce::Component (pickerComponentName),
      targetName (target),
      pid (productId)
{
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (list);
    list.addItemList (DeviceHelpers::getDeviceNames (true), 1);

    int found = -1;

    for (int tryNumber = 0; tryNumber < numTries; ++tryNumber)
    {
        found = findTargetEntry (tryNumber);

        if (found != -1)
            break;

        for (int i = 0; i < pumpsBetweenTries; ++i)
            pump (pumpMs);
    }

    if (found != -1)
    {
        list.setSelectedItemIndex (found, juce::dontSendNotification);
    }
    else
    {
        juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::NoIcon, {}, notFoundText);
        list.setSelectedItemIndex (selectedIndex < 0 ? 0 : selectedIndex, juce::dontSendNotification);
    }

    selectedName = list.getText();

    okButton.addListener (this);
    list.addListener (this);
    cancelButton.addListener (this);

    setSize (300, 200);

    // Clicks once the dialog's modal loop runs.
    if (bAuto && found != -1)
        okButton.triggerClick();
}

DeviceSelectComponent::~DeviceSelectComponent()
{
    okButton.removeListener (this);
    list.removeListener (this);
    cancelButton.removeListener (this);
}

int DeviceSelectComponent::findTargetEntry (int tryNumber) const
{
    return targetName.isNotEmpty() ? findByTargetName() : findByProduct (tryNumber);
}

int DeviceSelectComponent::findByTargetName() const
{
    if (FirmwareUpgradeComponent::numberForDevice (targetName, true) != 1)
        return -1;

    const auto index = FirmwareUpgradeComponent::indexForFirstDevice (targetName, true);

    // The ports are looked at afresh while the entries stay as they were read
    // at construction: when ports came or went since, the index may lie past
    // the entries or point at another port, and there is nothing to select.
    if (index < 0 || index >= list.getNumItems())
        return -1;

    return DeviceHelpers::getDeviceNames (true)[index] == list.getItemText (index) ? index : -1;
}

int DeviceSelectComponent::findByProduct (int tryNumber) const
{
    const auto count = FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (pid, upgradePortWeight);

    if (count >= 1 && count < upgradePortWeight)
    {
        const auto name = FirmwareUpgradeComponent::firstTargetNameByPid (pid, DeviceHelpers::getDeviceNames (true));
        return itemTexts (list).indexOf (name, false);
    }

    // With a unit already in upgrade mode, or no port of the product at all,
    // the first look settles for the first entry; later looks wait for a
    // port of the product.
    return tryNumber == 0 ? 0 : -1;
}

void DeviceSelectComponent::paint (juce::Graphics&)
{
}

void DeviceSelectComponent::resized()
{
    layOut (getWidth(), getHeight(), list, cancelButton, okButton);
}

void DeviceSelectComponent::layOut (int w, int h, juce::Component& listBox,
                                    juce::Component& cancel, juce::Component& ok)
{
    listBox.setBounds (8, h / 2 - 24, w - 16, 24);

    const int buttonHeight = juce::jmin (h, 30);
    const int cancelWidth = juce::jmin (w, 100);
    const int okWidth = juce::jmin (w - cancelWidth, 100);
    const int buttonY = h - 10 - buttonHeight;
    const int cancelX = w - 10 - cancelWidth;

    cancel.setBounds (cancelX, buttonY, cancelWidth, buttonHeight);
    ok.setBounds (cancelX - okWidth, buttonY, okWidth, buttonHeight);
}

void DeviceSelectComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
    {
        OnOkBtn();
    }
    else if (button == &cancelButton)
    {
        if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
            dialog->closeButtonPressed();
    }
}

void DeviceSelectComponent::comboBoxChanged (juce::ComboBox*)
{
    selectedIndex = DeviceHelpers::getDeviceNames (true).indexOf (list.getText(), false);
    selectedName = list.getText();
}

void DeviceSelectComponent::OnOkBtn()
{
    const auto name = DeviceHelpers::convFwugMan (list.getText());
    const bool productPort = targetName.isEmpty();
    const bool allowUpgradePort = bTest_fwug || ! productPort;

    if (! DeviceHelpers::validDeviceName (name, productPort, allowUpgradePort))
        return;

    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->exitModalState (1);
}
}
