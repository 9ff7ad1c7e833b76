#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// What a window manager reads from a desktop window's WM_NORMAL_HINTS about
// resizing it, as text: "min 1000 x 576, max 1000 x 576", "no limits", or
// "no hints"; "not on X11" elsewhere.
struct X11SizeHints
{
    static juce::String of (juce::Component& window);
};
