#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// A caption or companion label of the surface panels: centred black text in
// the default sans-serif face, not editable; the caller sets its background.
std::unique_ptr<juce::Label> makePanelLabel (const juce::String& text, float fontSize);
