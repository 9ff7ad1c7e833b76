#include "editor/AboutComponent.h"

namespace
{
    const char* const webPage = "https://www.zorvproaudio.com/";
    const char* const copyrightLine = "Copyright \xc2\xa9 Zorv Pro Audio";
    const char* const applicationName = JUCE_APPLICATION_NAME_STRING;
    const char* const versionNumber = JUCE_APPLICATION_VERSION_STRING;
    const char* const buildNumber = "59";

    // Light text on the dark panel, and no box behind it when a label is edited.
    void styleLabel (juce::Label& label, juce::Justification justification, const juce::Font& font)
    {
        label.setJustificationType (justification);
        label.setFont (font);
        label.setEditable (false, false, false);
        label.setColour (juce::Label::textColourId, juce::Colour (0xFFEEEEEEu));
        label.setColour (juce::TextEditor::textColourId, juce::Colour (0xFFEEEEEEu));
        label.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000u));
    }

    juce::Font sansSerif (float size, const char* style)
    {
        return juce::Font (juce::Font::getDefaultSansSerifFontName(), size, juce::Font::plain)
                   .withTypefaceStyle (style);
    }
}

AboutComponent::AboutComponent()
{
    titleLabel = std::make_unique<juce::Label> ("new label", applicationName);
    addAndMakeVisible (*titleLabel);
    styleLabel (*titleLabel, juce::Justification::centred, sansSerif (50.0f, "Bold"));

    copyrightLabel = std::make_unique<juce::Label> ("CopyrightLabel", juce::String::fromUTF8 (copyrightLine));
    addAndMakeVisible (*copyrightLabel);
    styleLabel (*copyrightLabel, juce::Justification::centredLeft, sansSerif (15.0f, "Regular"));

    // The button's own constructor makes the address its tooltip.
    webLink = std::make_unique<juce::HyperlinkButton> ("About Us", juce::URL (webPage));
    addAndMakeVisible (*webLink);
    webLink->setColour (juce::HyperlinkButton::textColourId, juce::Colour (0xFFFF0000u));

    const auto versionText = juce::String ("V") + versionNumber + " Build " + juce::String (buildNumber).toUpperCase();
    versionLabel = std::make_unique<juce::Label> ("VersionLabel", versionText);
    addAndMakeVisible (*versionLabel);
    styleLabel (*versionLabel, juce::Justification::centred, sansSerif (18.0f, "Regular"));

    setSize (500, 278);
}

AboutComponent::~AboutComponent()
{
    titleLabel = nullptr;
    copyrightLabel = nullptr;
    webLink = nullptr;
    versionLabel = nullptr;
}

void AboutComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xFF222222u));
}

void AboutComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    titleLabel->setBounds (w / 2 - 240, 72, 480, 56);
    copyrightLabel->setBounds (13, 243, 195, 24);
    webLink->setBounds (393, h - 36, 94, 24);
    versionLabel->setBounds (w / 2 - 234, 128, 150, 24);
}
