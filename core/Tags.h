#pragma once

#include <juce_core/juce_core.h>

// The identifiers of the mapping model's trees and properties. Shared by the
// core and the editor, so both always spell a property the same way.
namespace Tags
{
    inline const juce::Identifier modes    { "modes" };
    inline const juce::Identifier curr     { "current" };
    inline const juce::Identifier map      { "map" };
    inline const juce::Identifier mode     { "mode" };
    inline const juce::Identifier name     { "name" };
    inline const juce::Identifier ptcl     { "protocol" };
    inline const juce::Identifier controls { "controls" };
    inline const juce::Identifier control  { "control" };
    inline const juce::Identifier cid      { "id" };
    inline const juce::Identifier kind     { "kind" };
    inline const juce::Identifier type     { "type" };
    inline const juce::Identifier chan     { "chan" };
    inline const juce::Identifier value    { "value" };
    inline const juce::Identifier v1       { "value1" };
    inline const juce::Identifier v2       { "value2" };
    inline const juce::Identifier velo     { "velo" };
}
