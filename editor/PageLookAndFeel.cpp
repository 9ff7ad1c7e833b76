#include "editor/PageLookAndFeel.h"

namespace
{
    // Keeps a button's text off its edges; the framework's own margin, made
    // for round-ended buttons, leaves a jog half only 27 of its 47 pixels.
    constexpr int buttonTextMargin = 3;
}

void PageLookAndFeel::drawLabel (juce::Graphics& g, juce::Label& label)
{
    g.fillAll (label.findColour (juce::Label::backgroundColourId));

    if (! label.isBeingEdited())
    {
        const auto alpha = label.isEnabled() ? 1.0f : 0.5f;

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        layOutText (label).draw (g);
        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRect (label.getLocalBounds());
}

void PageLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto colourId = button.getToggleState() ? juce::TextButton::textColourOnId
                                                  : juce::TextButton::textColourOffId;

    g.setColour (button.findColour (colourId).withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    layOutText (button).draw (g);
}

juce::GlyphArrangement PageLookAndFeel::layOutText (juce::Label& label)
{
    const auto font = getLabelFont (label);
    const auto area = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds()).toFloat();
    const int maxLines = juce::jmax (1, (int) (area.getHeight() / font.getHeight()));

    juce::GlyphArrangement glyphs;
    glyphs.addFittedText (font, label.getText(), area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                          label.getJustificationType(), maxLines, minimumTextScale);
    return glyphs;
}

juce::GlyphArrangement PageLookAndFeel::layOutText (juce::TextButton& button)
{
    const auto font = getTextButtonFont (button, button.getHeight());
    const int yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const auto area = button.getLocalBounds().reduced (buttonTextMargin, yIndent).toFloat();

    juce::GlyphArrangement glyphs;
    glyphs.addFittedText (font, button.getButtonText(), area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                          juce::Justification::centred, 2, minimumTextScale);
    return glyphs;
}
