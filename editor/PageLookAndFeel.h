#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The editor page's look: the framework's own, except for texts too wide for
// their label or button. Those are squeezed horizontally, down to
// minimumTextScale (or, two words on a tall button, set on two lines), where
// the framework would cut them short with an ellipsis: a function name such
// as "MemLock" on a 47-pixel jog half must stay readable. Fonts stay the
// widgets' own, so the labels keep their sizes.
class PageLookAndFeel : public juce::LookAndFeel_V4
{
public:
    static constexpr float minimumTextScale = 0.6f;

    void drawLabel (juce::Graphics& g, juce::Label& label) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    // The glyphs of a widget's text as they are drawn, in its own coordinates.
    juce::GlyphArrangement layOutText (juce::Label& label);
    juce::GlyphArrangement layOutText (juce::TextButton& button);
};
