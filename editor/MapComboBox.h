#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// An attribute box whose items may stand for values other than their ids:
// entry i of the values array is what item index i means. The owner fills
// and empties items and values together.
class MapComboBox : public juce::ComboBox
{
public:
    MapComboBox();
    ~MapComboBox() override;

    juce::Array<int>& getValues() noexcept { return values; }

    // The value behind the selected item; 0 when nothing is selected or the
    // selected item has no value behind it.
    int getMappedValue() const;

private:
    juce::Array<int> values;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MapComboBox)
};
