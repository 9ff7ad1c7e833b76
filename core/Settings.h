#pragma once

#include <juce_data_structures/juce_data_structures.h>

// The settings file: where it lives and how it is stored. Nothing is read
// from it; the mapping singleton writes its maps into it on the way out.
class Settings : public juce::ApplicationProperties
{
public:
    Settings();

    static juce::PropertiesFile::Options options();
};
