#pragma once

#include <juce_data_structures/juce_data_structures.h>

// Orders control trees by ascending "id", for juce::Array::sort.
class CidSorter
{
public:
    static int compareElements (const juce::ValueTree& a, const juce::ValueTree& b);
};
