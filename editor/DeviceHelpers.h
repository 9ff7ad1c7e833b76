#pragma once

#include <juce_core/juce_core.h>

// The editor's rule for which MIDI output ports belong to the controllers it
// maps. The firmware upgrader reads port names by rules of its own
// (zorv::DeviceHelpers).
namespace DeviceHelpers
{
    // Contains "Trevan", or both "zorv" and "midi"; case is ignored throughout.
    bool validDeviceName (const juce::String& name);
}
