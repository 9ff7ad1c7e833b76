#include "editor/CtModeComboBox.h"

#include "core/SharedFlags.h"
#include "core/TrvPlus.h"

const int modIdForSel[5] { CtMode::mackie, CtMode::logic, CtMode::proTools, CtMode::usrdefMcp, CtMode::usrdefHui };

namespace
{
    // Items of the box: one per mode up to "usrdef-mcp"; "usrdef-hui" shares its item.
    constexpr int numItems = 4;
    constexpr int userDefineIndex = numItems - 1;
}

CtModeComboBox::CtModeComboBox()
{
    for (int i = 0; i < numItems; ++i)
        addItem (juce::String (i + 1) + ") " + CtMode::nameForType (i), i + 1);

    const int mode = TrvPlus::getInstance()->getCurrentCtMode();
    setSelectedItemIndex (juce::jmin (mode, userDefineIndex), juce::dontSendNotification);
}

CtModeComboBox::~CtModeComboBox() = default;

CtMode CtModeComboBox::getSelectedMode() const
{
    int s = getSelectedItemIndex();

    // Nothing selected (or an index the box cannot hold) would read outside
    // the table; such a box stands for no choice, which reads as "mackie".
    if (s < 0 || s > userDefineIndex)
        return CtMode (CtMode::mackie);

    if (s == userDefineIndex)
        s += (g_LasPtcl4Usdf != 0 ? 1 : 0);

    return CtMode (modIdForSel[s]);
}
