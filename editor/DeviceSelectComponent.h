#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Content of the "Select your device" dialog: the MIDI output ports of the
// supported controllers, with Connect and Cancel. Connect ends the enclosing
// dialog's modal loop with 1 (selectedName then holds the chosen port);
// Cancel closes it, which ends the loop with 0. The dialog does not own it.
class DeviceSelectComponent : public juce::Component,
                              public juce::Button::Listener,
                              public juce::ComboBox::Listener
{
public:
    DeviceSelectComponent();
    ~DeviceSelectComponent() override;

    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* box) override;

private:
    // The output port names offered, in the system's order.
    static juce::StringArray getOfferedNames();

    juce::ComboBox portList;
    juce::TextButton cancelButton { "Cancel" };
    juce::TextButton connectButton { "Connect" };

public:
    // The port shown in the list; empty when no port is offered.
    juce::String selectedName;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeviceSelectComponent)
};
