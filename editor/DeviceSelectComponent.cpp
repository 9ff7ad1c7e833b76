#include "editor/DeviceSelectComponent.h"

#include "editor/DeviceHelpers.h"
#include "platform/MidiPorts.h"

DeviceSelectComponent::DeviceSelectComponent()
    : juce::Component ("DeviceSelectComponent")
{
    portList.setEditableText (false);
    portList.addItemList (getOfferedNames(), 1);
    portList.setSelectedItemIndex (0, juce::dontSendNotification);
    selectedName = portList.getText();

    addAndMakeVisible (portList);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (connectButton);

    connectButton.addListener (this);
    cancelButton.addListener (this);
    portList.addListener (this);

    setSize (300, 200);
}

DeviceSelectComponent::~DeviceSelectComponent()
{
    portList.removeListener (this);
    cancelButton.removeListener (this);
    connectButton.removeListener (this);
}

juce::StringArray DeviceSelectComponent::getOfferedNames()
{
    auto names = MidiPorts::getOutputNames();
    names.removeDuplicates (false);
    names.removeEmptyStrings (true);

    juce::StringArray offered;

    for (auto& name : names)
        if (DeviceHelpers::validDeviceName (name))
            offered.add (name);

    return offered;
}

void DeviceSelectComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    portList.setBounds (8, h / 2 - 24, w - 16, 24);

    auto buttonRow = getLocalBounds().removeFromBottom (30).translated (0, -10);
    cancelButton.setBounds (buttonRow.removeFromRight (100).translated (-10, 0));
    connectButton.setBounds (buttonRow.removeFromRight (100).translated (-10, 0));
}

void DeviceSelectComponent::buttonClicked (juce::Button* button)
{
    auto* dialog = findParentComponentOfClass<juce::DialogWindow>();

    if (dialog == nullptr)
        return;

    if (button == &cancelButton)
    {
        dialog->closeButtonPressed();
    }
    else if (button == &connectButton)
    {
        // An empty list leaves nothing to connect to; the user leaves with Cancel.
        if (DeviceHelpers::validDeviceName (portList.getText()))
            dialog->exitModalState (1);
    }
}

void DeviceSelectComponent::comboBoxChanged (juce::ComboBox* box)
{
    selectedName = box->getText();
}
