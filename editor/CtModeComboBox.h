#pragma once

#include "core/CtMode.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Mode for each item index of the mode box, with the shared "User Define"
// item split in two: index 3 for "usrdef-mcp", index 4 for "usrdef-hui".
extern const int modIdForSel[5];

// The mode box of the editor page. Both user-defined modes share its fourth
// item, "4) User Define"; which of them that item means depends on the
// protocol last chosen for a user-defined mode (g_LasPtcl4Usdf).
class CtModeComboBox : public juce::ComboBox
{
public:
    CtModeComboBox();
    ~CtModeComboBox() override;

    CtMode getSelectedMode() const;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CtModeComboBox)
};
