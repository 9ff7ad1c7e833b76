#pragma once

#include "upgrader/WizardTexts.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zorv
{
    // Content of the wizard's "Choose Your Zorv Device" dialog: the MIDI output
    // ports (upgrade-mode ports shown as "Zorv firmware upgrade manager") with
    // the port the wizard is looking for preselected, and OK and Cancel. An
    // accepted OK ends the enclosing dialog's modal loop with 1, after which
    // selectedName holds the chosen entry; Cancel closes the dialog. The dialog
    // does not own it. In auto mode it presses OK itself once it has found
    // the port it was looking for.
    class DeviceSelectComponent : public juce::Component,
                                  public juce::Button::Listener,
                                  public juce::ComboBox::Listener
    {
    public:
        // With an empty `targetName` the question is for a product port of
        // `pid`; otherwise for the one port whose name contains `targetName`.
        // Runs the message loop while it waits for that port to show up, and
        // tells the user when it does not.
        DeviceSelectComponent (int pid, const juce::String& targetName);
        ~DeviceSelectComponent() override;

        void paint (juce::Graphics&) override;
        void resized() override;
        void buttonClicked (juce::Button* button) override;
        void comboBoxChanged (juce::ComboBox* box) override;

        // Accepts the selected entry when it is the kind of port asked for.
        void OnOkBtn();

        // The pickers' common layout in an area of the given size: the list
        // across the middle, Cancel in the bottom-right corner, OK left of it.
        static void layOut (int width, int height, juce::Component& list,
                            juce::Component& cancelButton, juce::Component& okButton);

        // The port name to preselect; empty for the product-port question.
        const juce::String targetName;

        // The product to preselect by when there is no target name.
        const int pid;

        // Text of the selected entry (a shown name: an upgrade-mode port reads
        // "Zorv firmware upgrade manager").
        juce::String selectedName;

        // Index of the entry the user last selected; -1 until the user changes
        // the selection.
        int selectedIndex = -1;

    private:
        // The list index of the port asked for, or -1 when it is not (yet) there.
        int findTargetEntry (int tryNumber) const;
        int findByTargetName() const;
        int findByProduct (int tryNumber) const;

        juce::ComboBox list;
        juce::TextButton cancelButton { cancelCaption };
        juce::TextButton okButton { okCaption };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeviceSelectComponent)
    };
}
