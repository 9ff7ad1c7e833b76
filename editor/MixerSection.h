#pragma once

#include "editor/MappableButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

// The transparent overlay over the eight channel strips of the surface
// picture: one MappableButton per strip control, each with a label beside it
// that names the control's current function, and the strip captions.
//
// The editor listens to the buttons itself and walks the children by index to
// find them, so the buttons are direct children; the panel's own listener
// registration is a no-op.
class MixerSection : public juce::Component,
                     public juce::Button::Listener
{
public:
    MixerSection();
    ~MixerSection() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    // Binds every button to its control record in the current map; safe to
    // call again after any change of mode, protocol or map.
    void setButtonTypes();

    static constexpr int numStrips = 8;
    static constexpr int numStripControls = 8;

private:
    // Labels come first among the members so that they outlive the buttons
    // that point at them.
    std::array<std::array<std::unique_ptr<juce::Label>, numStrips>, numStripControls> companionLabels;
    std::array<std::unique_ptr<juce::Label>, numStrips> captions;
    std::array<std::array<std::unique_ptr<MappableButton>, numStrips>, numStripControls> buttons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MixerSection)
};
