#include "editor/MapComboBox.h"

MapComboBox::MapComboBox() = default;

MapComboBox::~MapComboBox() = default;

int MapComboBox::getMappedValue() const
{
    const int index = getSelectedItemIndex();
    return juce::isPositiveAndBelow (index, values.size()) ? values.getUnchecked (index) : 0;
}
