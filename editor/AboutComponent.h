#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Content of the About dialog: the application's name, version and build, the
// maker's copyright line and a link to the maker's web page.
class AboutComponent : public juce::Component
{
public:
    AboutComponent();
    ~AboutComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::Label> copyrightLabel;
    std::unique_ptr<juce::HyperlinkButton> webLink;
    std::unique_ptr<juce::Label> versionLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutComponent)
};
