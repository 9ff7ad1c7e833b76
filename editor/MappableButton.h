#pragma once

#include "core/CtKind.h"
#include "core/CtMode.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The editor's button for one physical control, bound to that control's record
// in the current map. Its setters are the only way the editor writes a control:
// they write the record and, in the Mackie Control modes, the mode's record
// table that the transfer sends, then refresh the control's text.
class MappableButton : public juce::TextButton
{
public:
    explicit MappableButton (const juce::String& buttonName);
    ~MappableButton() override;

    // Binds the value objects to a control record and refreshes the text.
    // Set kind and companionLabel first: the first text lands where they say.
    void setMapping (const juce::ValueTree& control);

    void setValue (int v);                 // note or controller number, or list position
    void setMsgType (int t);               // status nibble: 9, 11, 14, or 0 for "null"
    void setChan (int c);                  // MIDI channel 1..16
    void setVelo (int w);                  // velocity or rotation pattern; text unchanged
    void setV1orV2 (CtMode mode, CtKind kindOfControl, int v, int which);   // which: 1 or 2

    virtual void updateText();
    virtual juce::String getLabelText();

    // Shows the button's text when set; not owned. A safe pointer, because the
    // panel may delete the label before the button.
    juce::Component::SafePointer<juce::Label> companionLabel;

    int cid = 0;
    CtKind kind;

    juce::Value value;
    juce::Value type;
    juce::Value chan;
    juce::Value value1;
    juce::Value value2;
    juce::Value velo;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MappableButton)
};
