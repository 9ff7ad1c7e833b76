#pragma once

#include "core/CtMap.h"
#include "editor/MappableButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

// The transparent overlay over the right-hand part of the Trevan M picture:
// the master strip, the bank, channel and transport keys, the wide key, the
// two zoom buttons and the jog wheel, one MappableButton per control, with
// the labels that name each control's current function beside it.
//
// The editor listens to every button itself and walks the children by index,
// taking the first toggled button as the selected control; the jog halves are
// therefore added before the zoom buttons, which stay toggled beside them.
class ControlSection : public juce::Component,
                       public juce::Button::Listener
{
public:
    ControlSection();
    ~ControlSection() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    // Binds every button to its control record in the current map; safe to
    // call again after any change of mode, map or jog-wheel state.
    void setButtonTypes();

    // Read by the editor's jog-wheel handling, which rebinds the halves to
    // the cursor controls while the wheel is zoomed.
    std::unique_ptr<MappableButton> zoomButton1;   // control 75
    std::unique_ptr<MappableButton> zoomButton2;   // control 76
    std::unique_ptr<MappableButton> leftJogHalf;   // control 73 (86, 88 when zoomed)
    std::unique_ptr<MappableButton> rightJogHalf;  // control 74 (87, 89 when zoomed)

private:
    static constexpr int numMasterButtons = 4;  // controls 53, 52, 51, 50
    static constexpr int numKeys = 10;          // controls 54 to 63

    MappableButton* buttonForCid (int cid) const;
    juce::Label* labelForCid (int cid) const;

    void bindButtonsWithLabels (const CtMap& map, CtMode mode);
    void bindMasterFader (const CtMap& map);
    void primeCursorControls (const CtMap& map, CtMode mode);
    void bindJogHalves (const CtMap& map, CtMode mode);

    // Labels come first among the members so that they outlive the buttons
    // that point at them.
    std::unique_ptr<juce::Label> captionM;
    std::unique_ptr<juce::Label> masterFaderLabel;
    std::array<std::unique_ptr<juce::Label>, numMasterButtons> masterLabels;
    std::unique_ptr<juce::Label> captionLock;
    std::array<std::unique_ptr<juce::Label>, numKeys> keyLabels;

    std::array<std::unique_ptr<MappableButton>, numMasterButtons> masterButtons;
    std::unique_ptr<MappableButton> lockButton;     // control 49
    std::array<std::unique_ptr<MappableButton>, numKeys> keyButtons;
    std::unique_ptr<MappableButton> wideButton;     // control 64
    std::unique_ptr<MappableButton> masterFader;    // control 85

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlSection)
};
