#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Tells the window manager that a desktop window which the user must not
// resize has exactly its present size, so that it offers no way to resize it.
//
// JUCE 7 on X11 states a non-resizable window's size without any limits, and
// states it again each time it moves or resizes the window and each time it
// paints into a freshly made window image (after a few idle seconds), which
// wipes limits set earlier. This keeps minimum = maximum = the present size:
// it follows the window's moves, resizes and new native windows by itself;
// the owner calls apply() after painting. Elsewhere it does nothing: a
// non-resizable window there has no resizing to offer.
class FixedSizeHints : private juce::ComponentListener
{
public:
    explicit FixedSizeHints (juce::Component& desktopWindow);
    ~FixedSizeHints() override;

    void apply();

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void componentParentHierarchyChanged (juce::Component&) override;
    void componentVisibilityChanged (juce::Component&) override;

    juce::Component& window;

    JUCE_DECLARE_NON_COPYABLE (FixedSizeHints)
};
