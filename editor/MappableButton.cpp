#include "editor/MappableButton.h"

#include "core/ControlIds.h"
#include "core/CtType.h"
#include "core/Defa.h"
#include "core/HuiPairList.h"
#include "core/HuiTables.h"
#include "core/MidiNameTables.h"
#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "core/Tags.h"
#include "core/TrvPlus.h"
#include "editor/AidForCid.h"

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

    // The record-table row a setter keeps in step, or null when there is none:
    // the HUI modes send no record table, and an unbound button (id 0) has no
    // row of its own (rowForCid (0) is the row of a real control).
    unsigned char* recordRowFor (int mode, int cid)
    {
        if (! ControlIds::isControl (cid))
            return nullptr;

        unsigned char (*table)[4] = nullptr;

        switch (mode)
        {
            case CtMode::mackie:     table = cb; break;
            case CtMode::logic:      table = lg; break;
            case CtMode::usrdefMcp:  table = nd; break;
            default:                 return nullptr;
        }

        return table[rowForCid (cid)];
    }

    // The usrdef-hui pair that mirrors a control's (value1, value2), inside the
    // bounds of its table, or null for a control that has none.
    unsigned char* huiPairFor (CtKind kind, int cid)
    {
        if (! ControlIds::isControl (cid))
            return nullptr;

        switch (kind)
        {
            case CtKind::button:
            {
                const int slot = aidForCid (CtMode (CtMode::usrdefHui), kind, cid);
                return juce::isPositiveAndBelow (slot, (int) juce::numElementsInArray (HuiBnPairs)) ? HuiBnPairs[slot] : nullptr;
            }

            case CtKind::jogWheel:
                return ControlIds::isJogHalf (cid) ? HuiJogPairs[cid - ControlIds::leftJogHalf] : nullptr;

            case CtKind::knob:
                return ControlIds::isKnob (cid) ? HuiKnPairs[cid - ControlIds::firstKnob] : nullptr;

            case CtKind::fader:
            case CtKind::masterFader:
                return (ControlIds::isFader (cid) || ControlIds::isMasterFader (cid))
                           ? HuiFdknPairs[cid - ControlIds::firstFader] : nullptr;

            default:
                return nullptr;
        }
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
    if (auto* row = recordRowFor (currentMode(), cid))
        row[2] = (unsigned char) (v & 0xFF);

    value = v;
    updateText();
}

void MappableButton::setMsgType (int t)
{
    if (auto* row = recordRowFor (currentMode(), cid))
    {
        row[0] = (unsigned char) (t & 0xFF);
        row[1] = (unsigned char) (((row[1] & 0x0F) | (t << 4)) & 0xFF);
    }

    type = typeSlugOfNibble (t);
    updateText();
}

void MappableButton::setChan (int c)
{
    // Masked, so that a channel outside 1..16 cannot spill into the status nibble.
    if (auto* row = recordRowFor (currentMode(), cid))
        row[1] = (unsigned char) ((row[1] & 0xF0) | ((c - 1) & 0x0F));

    chan = c;
    updateText();
}

void MappableButton::setVelo (int w)
{
    // Only the knobs and the jog halves have a rotation pattern; row 8 is the
    // jog wheel's, which no other control may overwrite.
    if (ControlIds::isKnob (cid) || ControlIds::isJogHalf (cid))
    {
        const int p = (int) value.getValue();
        const int col = ((p >= 16 && p <= 23) || p == 60) ? 0 : 1;
        knobVelos[juce::jmin (cid - ControlIds::firstKnob, 8)][col] = (unsigned char) (w & 0xFF);
    }

    const int mode = currentMode();

    if (mode == CtMode::usrdefMcp)
        if (auto* row = recordRowFor (mode, cid))
            row[3] = (unsigned char) (w & 0xFF);

    velo = w;
}

void MappableButton::setV1orV2 (CtMode mode, CtKind kindOfControl, int v, int which)
{
    if (mode == CtMode::usrdefHui && (which == 1 || which == 2))
        if (auto* pair = huiPairFor (kindOfControl, cid))
            pair[which - 1] = (unsigned char) (v & 0xFF);

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
