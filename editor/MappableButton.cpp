#include "editor/MappableButton.h"

#include "core/CtType.h"
#include "core/Defa.h"
#include "core/HuiPairList.h"
#include "core/MidiNameTables.h"
#include "core/RecordBytes.h"
#include "core/Tags.h"
#include "core/TrvPlus.h"

namespace
{
    // Read at each call: the buttons stay bound across mode changes, so the
    // mode they write for is whatever is current when the user edits.
    int currentMode()
    {
        if (auto* trv = TrvPlus::getInstanceWithoutCreating())
            return trv->getCurrentMap().getCtMode().getValue();

        return CtMode::mackie;
    }

    juce::String typeSlugOfNibble (int nibble)
    {
        if (nibble == 0)
            return CtType::slugForType (CtType::null);

        return Defa::getMstyStr (nibble);
    }

    juce::String mackieControlText (int mode, CtKind kind, int cid)
    {
        const int t = Defa::getMsgType (mode, cid);
        const int c = Defa::getChan (mode, cid);
        const int d = Defa::getMsVal (cid);

        switch (t)
        {
            case 11: return "CC" + juce::String (d);
            case 14: return "PB." + juce::String (c);
            case 0:  return {};
            case 9:  break;
            default: return "ErrMidiMsgType";
        }

        if (mode == CtMode::logic)
            return juce::String::fromUTF8 (Defa::getName (mode, kind, Defa::indexForvalue (mode, kind, d)));

        // Only a mapping file can put a data byte above 127 here; it has no
        // note name, so the number itself is shown.
        if (! juce::isPositiveAndBelow (d, (int) juce::numElementsInArray (NOTE)))
            return juce::String (d);

        return juce::String::fromUTF8 (NOTE[d]);
    }
}

//==============================================================================
MappableButton::MappableButton (const juce::String& buttonName)
    : juce::TextButton (buttonName)
{
    setColour (juce::TextButton::buttonOnColourId, juce::Colours::lightskyblue);
    value = 0;
    type = 0;
}

MappableButton::~MappableButton() = default;

void MappableButton::setMapping (const juce::ValueTree& control)
{
    cid = (int) control.getProperty (Tags::cid);

    auto record = control;   // getPropertyAsValue is not const
    value .referTo (record.getPropertyAsValue (Tags::value,  nullptr));
    type  .referTo (record.getPropertyAsValue (Tags::type,   nullptr));
    chan  .referTo (record.getPropertyAsValue (Tags::chan,   nullptr));
    value1.referTo (record.getPropertyAsValue (Tags::v1,     nullptr));
    value2.referTo (record.getPropertyAsValue (Tags::v2,     nullptr));
    velo  .referTo (record.getPropertyAsValue (Tags::velo,   nullptr));

    updateText();
}

void MappableButton::setValue (int v)
{
    RecordBytes::setDataByte (currentMode(), cid, v);

    value = v;
    updateText();
}

void MappableButton::setMsgType (int t)
{
    RecordBytes::setStatusNibble (currentMode(), cid, t);

    type = typeSlugOfNibble (t);
    updateText();
}

void MappableButton::setChan (int c)
{
    RecordBytes::setChannel (currentMode(), cid, c);

    chan = c;
    updateText();
}

void MappableButton::setVelo (int w)
{
    // The rotation bytes (knobs and jog halves only) follow in every mode,
    // the record's velocity only in "usrdef-mcp".
    RecordBytes::setRotationByte (cid, (int) value.getValue(), w);
    RecordBytes::setVelocity (currentMode(), cid, w);

    velo = w;
}

void MappableButton::setV1orV2 (CtMode mode, CtKind kindOfControl, int v, int which)
{
    RecordBytes::setHuiPairByte (mode, kindOfControl, cid, which, v);

    if (which == 1)
        value1 = v;
    else
        value2 = v;

    updateText();
}

void MappableButton::updateText()
{
    const auto labelText = getLabelText();

    if (companionLabel != nullptr)
        companionLabel->setText (labelText, juce::dontSendNotification);
    else
        setButtonText (labelText);
}

juce::String MappableButton::getLabelText()
{
    const int mode = currentMode();

    if (mode == CtMode::proTools)
        return juce::String::fromUTF8 (Defa::getName (mode, kind, Defa::indexForvalue (mode, kind, (int) value.getValue())));

    if (mode == CtMode::usrdefHui)
    {
        const int p = posOfPair (kind, (int) value1.getValue(), (int) value2.getValue());
        return Defa::getName3 (mode, kind, Defa::indexForvalue (mode, kind, p), 11);
    }

    return mackieControlText (mode, kind, cid);
}
