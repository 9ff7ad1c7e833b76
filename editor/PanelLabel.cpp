#include "editor/PanelLabel.h"

std::unique_ptr<juce::Label> makePanelLabel (const juce::String& text, float fontSize)
{
    auto label = std::make_unique<juce::Label> ("new label", text);
    label->setFont (juce::Font (juce::Font::getDefaultSansSerifFontName(), fontSize, juce::Font::plain)
                        .withTypefaceStyle ("Regular"));
    label->setJustificationType (juce::Justification::centred);
    label->setEditable (false, false, false);
    label->setColour (juce::Label::textColourId, juce::Colours::black);
    return label;
}
