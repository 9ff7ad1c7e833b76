#include "editor/ControlSection.h"

#include "editor/JogHalfValue.h"
#include "editor/PanelLabel.h"
#include "core/ControlIds.h"
#include "core/CtKind.h"
#include "core/Defa.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"

namespace
{
    struct Rect
    {
        int x, y, w, h;
    };

    juce::Rectangle<int> toRectangle (const Rect& r)
    {
        return { r.x, r.y, r.w, r.h };
    }

    // Pixel places on the picture of the surface, in panel coordinates.
    // Master strip, by array index: controls 53 (touch area), 52, 51, 50.
    const Rect masterButtonRects[] = { { 4, 353, 29, 33 }, { 42, 258, 33, 34 },
                                       { 42, 302, 33, 34 }, { 42, 347, 33, 34 } };
    const Rect masterLabelRects[] = { { -5, 392, 49, 15 }, { 34, 288, 49, 15 },
                                      { 34, 332, 49, 15 }, { 34, 377, 49, 15 } };

    // The ten keys, controls 54 to 63: two columns, five rows, each label
    // above its key.
    const Rect keyButtonRects[] = { { 97, 67, 33, 34 },  { 147, 67, 33, 34 },
                                    { 97, 113, 33, 34 }, { 147, 113, 33, 34 },
                                    { 97, 159, 33, 34 }, { 147, 159, 33, 34 },
                                    { 97, 205, 33, 34 }, { 147, 205, 33, 34 },
                                    { 97, 250, 33, 34 }, { 147, 250, 33, 34 } };
    const Rect keyLabelRects[] = { { 89, 53, 49, 15 },  { 139, 53, 49, 15 },
                                   { 89, 99, 49, 15 },  { 139, 99, 49, 15 },
                                   { 89, 145, 49, 15 }, { 139, 145, 49, 15 },
                                   { 89, 191, 49, 15 }, { 139, 191, 49, 15 },
                                   { 89, 236, 49, 15 }, { 139, 236, 49, 15 } };

    const Rect captionMRect       { 29, 194, 28, 15 };
    const Rect lockButtonRect     { 46, 392, 26, 26 };
    const Rect masterFaderLabelRect { -5, 271, 49, 15 };
    const Rect captionLockRect    { 34, 417, 49, 15 };
    const Rect zoomButton1Rect    { 101, 299, 26, 26 };
    const Rect zoomButton2Rect    { 150, 299, 26, 26 };
    const Rect leftJogHalfRect    { 94, 332, 47, 59 };
    const Rect rightJogHalfRect   { 140, 332, 47, 59 };
    const Rect wideButtonRect     { 96, 390, 88, 33 };
    const Rect masterFaderRect    { 4, 295, 29, 59 };

    const float captionFontSize = 15.0f;
    const float keyLabelFontSize = 15.0f;
    const float smallLabelFontSize = 13.0f;

    const juce::Colour captionBackground { 0x00000000 };
    const juce::Colour companionBackground { 0x0affffff };

    const juce::Colour keyColour { 0x20404040 };
    const juce::Colour jogColour { 0x28404040 };
    const juce::Colour selectedColour { 0x706655a8 };
    const juce::Colour functionTextColour { 0xffd0ffff };

    std::unique_ptr<juce::Label> makeLabel (const juce::String& text, float fontSize, juce::Colour background)
    {
        auto label = makePanelLabel (text, fontSize);
        label->setColour (juce::Label::backgroundColourId, background);
        return label;
    }

    void paintButton (MappableButton& button, juce::Colour background)
    {
        button.setColour (juce::TextButton::buttonColourId, background);
        button.setColour (juce::TextButton::buttonOnColourId, selectedColour);
        button.setAlpha (1.0f);
    }

    // Buttons whose only purpose is their tinted background.
    void hideText (MappableButton& button)
    {
        button.setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);
        button.setColour (juce::TextButton::textColourOnId, juce::Colours::transparentBlack);
    }
}

ControlSection::ControlSection()
{
    setName ("ControlSection");

    auto newButton = [this] (const juce::String& name)
    {
        // A button takes its name as its text; the panel's buttons start blank.
        auto button = std::make_unique<MappableButton> (name);
        button->setButtonText ({});
        button->addListener (this);
        return button;
    };

    captionM = makeLabel ("(M)", captionFontSize, captionBackground);
    addAndMakeVisible (*captionM);

    masterFaderLabel = makeLabel ({}, smallLabelFontSize, companionBackground);
    addAndMakeVisible (*masterFaderLabel);

    for (auto& label : masterLabels)
    {
        label = makeLabel ({}, smallLabelFontSize, companionBackground);
        addAndMakeVisible (*label);
    }

    captionLock = makeLabel ("Lock", smallLabelFontSize, captionBackground);
    addAndMakeVisible (*captionLock);

    for (auto& button : masterButtons)
    {
        button = newButton ({});
        addAndMakeVisible (*button);
    }

    // Control 49 is shown but cannot be selected.
    lockButton = newButton ({});
    lockButton->setInterceptsMouseClicks (false, false);
    addAndMakeVisible (*lockButton);

    for (auto& button : keyButtons)
    {
        button = newButton ({});
        addAndMakeVisible (*button);
    }

    leftJogHalf = newButton ({});
    addAndMakeVisible (*leftJogHalf);
    rightJogHalf = newButton ({});
    addAndMakeVisible (*rightJogHalf);

    wideButton = newButton ({});
    addAndMakeVisible (*wideButton);

    zoomButton1 = newButton ({});
    addAndMakeVisible (*zoomButton1);
    zoomButton2 = newButton ({});
    addAndMakeVisible (*zoomButton2);

    for (auto& label : keyLabels)
    {
        label = makeLabel ({}, keyLabelFontSize, companionBackground);
        addAndMakeVisible (*label);
    }

    masterFader = newButton ("new button");
    addAndMakeVisible (*masterFader);

    setSize (600, 400);
    setButtonTypes();
}

ControlSection::~ControlSection()
{
}

void ControlSection::paint (juce::Graphics&)
{
}

void ControlSection::buttonClicked (juce::Button*)
{
}

void ControlSection::resized()
{
    captionM->setBounds (toRectangle (captionMRect));

    for (int i = 0; i < numMasterButtons; ++i)
        masterButtons[(size_t) i]->setBounds (toRectangle (masterButtonRects[i]));

    lockButton->setBounds (toRectangle (lockButtonRect));
    masterFaderLabel->setBounds (toRectangle (masterFaderLabelRect));

    for (int i = 0; i < numMasterButtons; ++i)
        masterLabels[(size_t) i]->setBounds (toRectangle (masterLabelRects[i]));

    captionLock->setBounds (toRectangle (captionLockRect));

    for (int i = 0; i < numKeys; ++i)
        keyButtons[(size_t) i]->setBounds (toRectangle (keyButtonRects[i]));

    zoomButton1->setBounds (toRectangle (zoomButton1Rect));
    zoomButton2->setBounds (toRectangle (zoomButton2Rect));
    leftJogHalf->setBounds (toRectangle (leftJogHalfRect));
    rightJogHalf->setBounds (toRectangle (rightJogHalfRect));
    wideButton->setBounds (toRectangle (wideButtonRect));

    for (int i = 0; i < numKeys; ++i)
        keyLabels[(size_t) i]->setBounds (toRectangle (keyLabelRects[i]));

    masterFader->setBounds (toRectangle (masterFaderRect));
}

MappableButton* ControlSection::buttonForCid (int cid) const
{
    if (cid == 49)
        return lockButton.get();

    if (cid >= 50 && cid <= 53)
        return masterButtons[(size_t) (53 - cid)].get();

    if (cid >= 54 && cid <= 63)
        return keyButtons[(size_t) (cid - 54)].get();

    if (cid == 64)
        return wideButton.get();

    return nullptr;
}

juce::Label* ControlSection::labelForCid (int cid) const
{
    if (cid >= 50 && cid <= 53)
        return masterLabels[(size_t) (53 - cid)].get();

    if (cid >= 54 && cid <= 63)
        return keyLabels[(size_t) (cid - 54)].get();

    return nullptr;
}

void ControlSection::setButtonTypes()
{
    auto* trv = TrvPlus::getInstance();

    if (trv == nullptr)
        return;

    const CtMap map = trv->getCurrentMap();
    const CtMode mode = trv->getCurrentCtMode();

    bindButtonsWithLabels (map, mode);
    bindMasterFader (map);
    primeCursorControls (map, mode);
    bindJogHalves (map, mode);
}

void ControlSection::bindButtonsWithLabels (const CtMap& map, CtMode mode)
{
    for (int cid = 49; cid <= 64; ++cid)
    {
        auto& button = *buttonForCid (cid);

        if (auto* label = labelForCid (cid))
            button.companionLabel = label;

        button.setMapping (map.getControlById (cid));

        // In the HUI modes a record's "value" is a function index, not the
        // data byte of the "mackie" table, so it is left as the map holds it.
        if (! CtMode::isHui (mode))
            button.setValue (Defa::getMsVal (cid));

        paintButton (button, keyColour);

        if (cid == 49)
            hideText (button);
        else
            button.setColour (juce::TextButton::textColourOffId, functionTextColour);
    }
}

void ControlSection::bindMasterFader (const CtMap& map)
{
    masterFader->companionLabel = masterFaderLabel.get();
    masterFader->kind = CtKind (CtKind::masterFader);
    masterFader->setMapping (map.getControlById (ControlIds::masterFader));
    masterFader->setAlpha (1.0f);
    masterFader->setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    masterFader->setColour (juce::TextButton::buttonOnColourId, selectedColour);
}

void ControlSection::primeCursorControls (const CtMap& map, CtMode mode)
{
    // Each jog half is bound in turn to the two cursor controls it stands
    // for when zoomed, so that their records hold the mode's cursor values.
    const std::pair<MappableButton*, int> bindings[] = {
        { zoomButton1.get(), ControlIds::zoomButton1 }, { zoomButton2.get(), ControlIds::zoomButton2 },
        { leftJogHalf.get(), ControlIds::cursorLeft },  { rightJogHalf.get(), ControlIds::cursorRight },
        { leftJogHalf.get(), ControlIds::cursorUp },    { rightJogHalf.get(), ControlIds::cursorDown }
    };

    for (const auto& [button, cid] : bindings)
    {
        button->kind = CtKind (CtKind::button);
        button->setMapping (map.getControlById (cid));

        if (ControlIds::isZoomButton (cid))
            hideText (*button);
        else
            button->setColour (juce::TextButton::textColourOffId, functionTextColour);

        paintButton (*button, jogColour);

        if (ControlIds::isCursorTarget (cid))
            button->setValue (jogHalfValue (mode, cid));
    }
}

void ControlSection::bindJogHalves (const CtMap& map, CtMode mode)
{
    MappableButton* const halves[] = { leftJogHalf.get(), rightJogHalf.get() };

    for (int half = 0; half < 2; ++half)
    {
        auto& button = *halves[half];
        button.kind = CtKind (CtKind::jogWheel);
        button.setMapping (map.getControlById (ControlIds::leftJogHalf + half));
        button.setColour (juce::TextButton::textColourOffId, functionTextColour);
        paintButton (button, jogColour);
    }

    // Only the cursor states are looked up by zoom state; anything else
    // counts as the plain jog state rather than reading past the table.
    const int z = isZoomNorLR;
    const bool zoomed = (z == 1 || z == 2);

    for (int half = 0; half < 2; ++half)
        halves[half]->setValue (jogHalfValue (mode, zoomed ? zomjog2cid[z][half]
                                                           : ControlIds::leftJogHalf + half));
}
