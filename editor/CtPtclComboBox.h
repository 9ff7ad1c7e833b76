#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The protocol box of the editor page: "1) MCP" and "2) HUI". The item index
// is the protocol flag, so the item id is the flag + 1. Only a user-defined
// mode lets the user choose; the factory modes fix their protocol.
class CtPtclComboBox : public juce::ComboBox
{
public:
    CtPtclComboBox();
    ~CtPtclComboBox() override;

    // 0 Mackie Control, 1 HUI.
    int getSelectedPtcl() const;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CtPtclComboBox)
};
