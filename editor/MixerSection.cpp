#include "editor/MixerSection.h"

#include "editor/PanelLabel.h"
#include "core/ControlIds.h"
#include "core/CtMap.h"
#include "core/Defa.h"
#include "core/TrvPlus.h"

namespace
{
    struct Rect
    {
        int x, y, w, h;
    };

    enum class LabelStyle
    {
        onPanel,    // faint white background: the labels over the fader area
        onPicture   // the look and feel's background: the labels over the knobs
    };

    // One control of a channel strip. Its control id is idBase + strip number
    // (1 to 8); rectangles are those of strip 1, each further strip lies
    // stripPitch pixels to the right. The order is the stacking order: where
    // two buttons overlap by a row, the later one lies above.
    struct StripControl
    {
        int idBase;
        int kind;
        Rect button;
        Rect label;
        float fontSize;
        LabelStyle style;
    };

    constexpr int stripPitch = 94;

    constexpr StripControl stripControls[MixerSection::numStripControls] =
    {
        { ControlIds::firstKnob - 1,       CtKind::knob,   { 27,  71, 53, 32 }, { 27,  47, 51, 24 }, 15.0f, LabelStyle::onPicture },  // knob
        { 32,                              CtKind::button, { 28, 102, 50, 21 }, { 28, 118, 51, 24 }, 15.0f, LabelStyle::onPicture },  // knob push
        { 24,                              CtKind::button, { 76, 216, 33, 34 }, { 68, 246, 49, 15 }, 13.0f, LabelStyle::onPanel },    // select
        { 16,                              CtKind::button, { 76, 260, 33, 34 }, { 68, 290, 49, 15 }, 13.0f, LabelStyle::onPanel },    // mute
        {  8,                              CtKind::button, { 76, 305, 33, 34 }, { 68, 335, 49, 15 }, 13.0f, LabelStyle::onPanel },    // solo
        {  0,                              CtKind::button, { 80, 350, 26, 26 }, { 68, 375, 49, 15 }, 13.0f, LabelStyle::onPanel },    // record
        { ControlIds::firstFaderTouch - 1, CtKind::button, { 38, 311, 29, 33 }, { 29, 350, 49, 15 }, 15.0f, LabelStyle::onPanel },    // fader touch
        { ControlIds::firstFader - 1,      CtKind::fader,  { 38, 253, 29, 59 }, { 29, 229, 49, 15 }, 15.0f, LabelStyle::onPanel },    // fader
    };

    enum StripControlIndex
    {
        knobControl, knobPushControl, selectControl, muteControl,
        soloControl, recordControl, faderTouchControl, faderControl
    };

    // The channel buttons (ids 1 to 48) in control-id order.
    constexpr int channelButtonsInIdOrder[] =
    {
        recordControl, soloControl, muteControl, selectControl, knobPushControl, faderTouchControl
    };

    constexpr Rect captionRect { 63, 152, 28, 15 };
    constexpr float captionFontSize = 15.0f;

    const juce::Colour selectedColour { 0x706655A8 };
    const juce::Colour faintWhite     { 0x0AFFFFFF };

    juce::Rectangle<int> inStrip (Rect r, int strip)
    {
        return { r.x + stripPitch * strip, r.y, r.w, r.h };
    }

    juce::String buttonName (int control, int strip)
    {
        if (control == knobControl)
            return "pan" + juce::String (strip + 1);

        if (control == faderTouchControl && strip > 0)
            return {};

        return "new button";
    }

    std::unique_ptr<juce::Label> makeLabel (const juce::String& text, float fontSize, LabelStyle style)
    {
        auto label = makePanelLabel (text, fontSize);

        if (style == LabelStyle::onPanel)
        {
            label->setColour (juce::Label::backgroundColourId, faintWhite);
        }
        else
        {
            label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
            label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
        }

        return label;
    }
}

//==============================================================================
MixerSection::MixerSection()
{
    for (int control = 0; control < numStripControls; ++control)
    {
        const auto& sc = stripControls[control];

        for (int strip = 0; strip < numStrips; ++strip)
        {
            auto& label = companionLabels[(size_t) control][(size_t) strip];
            label = makeLabel ({}, sc.fontSize, sc.style);
            addAndMakeVisible (*label);
        }
    }

    for (int strip = 0; strip < numStrips; ++strip)
    {
        auto& caption = captions[(size_t) strip];
        caption = makeLabel ("(" + juce::String (strip + 1) + ")", captionFontSize, LabelStyle::onPicture);
        addAndMakeVisible (*caption);
    }

    // After every label, so that every button lies above every label.
    for (int strip = 0; strip < numStrips; ++strip)
    {
        for (int control = 0; control < numStripControls; ++control)
        {
            auto& button = buttons[(size_t) control][(size_t) strip];
            button = std::make_unique<MappableButton> (buttonName (control, strip));
            button->setButtonText ({});
            button->addListener (this);
            addAndMakeVisible (*button);
        }
    }

    setButtonTypes();
    setSize (600, 400);
}

MixerSection::~MixerSection()
{
    for (auto& row : buttons)
        for (auto& button : row)
            button->removeListener (this);
}

void MixerSection::paint (juce::Graphics&)
{
}

void MixerSection::buttonClicked (juce::Button*)
{
}

void MixerSection::resized()
{
    for (int control = 0; control < numStripControls; ++control)
    {
        const auto& sc = stripControls[control];

        for (int strip = 0; strip < numStrips; ++strip)
        {
            buttons[(size_t) control][(size_t) strip]->setBounds (inStrip (sc.button, strip));
            companionLabels[(size_t) control][(size_t) strip]->setBounds (inStrip (sc.label, strip));
        }
    }

    for (int strip = 0; strip < numStrips; ++strip)
        captions[(size_t) strip]->setBounds (inStrip (captionRect, strip));
}

void MixerSection::setButtonTypes()
{
    auto* trv = TrvPlus::getInstanceWithoutCreating();

    if (trv == nullptr)
        return;

    const auto map = trv->getCurrentMap();
    const int mode = map.getCtMode().getValue();

    auto bind = [this, &map] (int control, int strip)
    {
        auto& button = *buttons[(size_t) control][(size_t) strip];
        const auto& sc = stripControls[control];

        // The label first, so that the first text already lands on it.
        button.companionLabel = companionLabels[(size_t) control][(size_t) strip].get();

        if (sc.kind != CtKind::button)
            button.kind = CtKind (sc.kind);

        button.setMapping (map.getControlById (sc.idBase + strip + 1));
        return &button;
    };

    auto colourUp = [] (MappableButton& button)
    {
        button.setAlpha (1.0f);
        button.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        button.setColour (juce::TextButton::buttonOnColourId, selectedColour);
    };

    for (int control : { knobControl, faderControl })
        for (int strip = 0; strip < numStrips; ++strip)
            colourUp (*bind (control, strip));

    // The channel buttons in control-id order. In the Mackie Control modes the
    // record table is what the transfer sends, so the tree's value is made to
    // follow it. The HUI modes keep their values: there "value" is an index
    // into the kind's function list, which the table's data byte is not.
    for (int control : channelButtonsInIdOrder)
    {
        for (int strip = 0; strip < numStrips; ++strip)
        {
            auto* button = bind (control, strip);

            if (! CtMode::isHui (mode))
                button->setValue (Defa::getMsVal (button->cid));

            colourUp (*button);
        }
    }
}
