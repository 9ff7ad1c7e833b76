#include "editor/ContentComponent.h"

#include "core/ControlIds.h"
#include "core/CtMap.h"
#include "core/Defa.h"
#include "core/HuiPairList.h"
#include "core/HuiTables.h"
#include "core/MessageTypes.h"
#include "core/RecordBytes.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"

namespace
{
    bool isUserMode (int m)     { return m == CtMode::usrdefMcp || m == CtMode::usrdefHui; }
    bool isBetween (int v, int lo, int hi)  { return v >= lo && v <= hi; }

    int kindOf (int cid)        { return Defa::kindForCid (cid); }

    int indexIn (const int* table, int size, int v)
    {
        for (int i = 0; i < size; ++i)
            if (table[i] == v)
                return i;

        return -1;
    }

    // Both halves of the unzoomed jog wheel carry the same message, so outside
    // "usrdef-hui" an edit of one is applied to the other as well.
    bool isJogPair (int cid)
    {
        return (ControlIds::isJogHalf (cid) || ControlIds::isZoomButton (cid)) && isZoomNorLR == 0;
    }

    // Controls whose message item is found by the data byte of their record
    // rather than by their "value": the fader touches and the master strip,
    // the jog halves, the faders and the cursor targets.
    bool showsItsDataByte (int cid)
    {
        using namespace ControlIds;

        return isBetween (cid, firstFaderTouch, masterFaderTouch) || isJogHalf (cid)
            || isBetween (cid, firstFader, cursorDown);
    }

    juce::String hexItem (const char* format, int i, int v)
    {
        return juce::String::formatted (format, i, v);
    }

    // A box silently drops an item without text, which would put its items
    // out of step with the values behind them.
    juce::String nonEmpty (const juce::String& text)
    {
        return text.isEmpty() ? juce::String (" ") : text;
    }
}

//==============================================================================
void ContentComponent::stabilize_controls()
{
    auto* trv = TrvPlus::getInstance();
    const int m = trv->getCurrentCtMode();
    const auto map = trv->getCurrentMap();

    ptclBox.setEnabled (isUserMode (m));

    typeLabel.setText (CtMode::isHui (m) ? "Value1" : "Msg Type", juce::dontSendNotification);
    chanLabel.setText (CtMode::isHui (m) ? "Value2" : "Channel", juce::dontSendNotification);
    funcLabel.setText ((m == CtMode::mackie || m == CtMode::usrdefMcp) ? "Message" : "Function",
                       juce::dontSendNotification);

    ptclBox.setSelectedId (trv->getCurrPtcl() + 1, juce::dontSendNotification);

    mixer.setButtonTypes();
    controls.setButtonTypes();

    if (auto* selected = findSelectedControl())
    {
        if (m == CtMode::usrdefHui)
        {
            const int z = isZoomNorLR;

            for (auto [half, id] : { std::pair (controls.leftJogHalf.get(), zomjog2cid[z][0]),
                                     std::pair (controls.rightJogHalf.get(), zomjog2cid[z][1]) })
            {
                half->kind = CtKind (kindOf (id));
                half->setMapping (map.getControlById (id));
            }
        }

        updAttrBoxesWith (*selected);
    }
}

void ContentComponent::updAttrBoxesWith (MappableButton& control)
{
    updWith (chanBox, control);
    updWith (typeBox, control);
    updWith (funcBox, control);
    updWith (rotBox, control);
}

MappableButton* ContentComponent::findSelectedControl() const
{
    for (auto* child : panelChildren())
        if (auto* button = dynamic_cast<MappableButton*> (child))
            if (button->getToggleState())
                return button;

    return nullptr;
}

MappableButton& ContentComponent::otherJogHalf() const
{
    return isJogLorR == 1 ? *controls.leftJogHalf : *controls.rightJogHalf;
}

//==============================================================================
void ContentComponent::updWith (MapComboBox& box, MappableButton& control)
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int cid = control.cid;
    const int k = kindOf (cid);
    const int t = Defa::getMsgType (m, cid);
    const bool hui = CtMode::isHui (m);
    const bool userMode = isUserMode (m);
    const int v1 = control.value1.getValue();
    const int v2 = control.value2.getValue();

    box.clear (juce::dontSendNotification);
    box.getValues().clearQuick();

    auto select = [&box] (int index) { box.setSelectedItemIndex (index, juce::dontSendNotification); };

    if (&box == &typeBox)
    {
        if (! hui)
        {
            const int numTypes = ControlIds::isFaderTouch (cid) ? 4 : 3;

            for (int i = 0; i < numTypes; ++i)
                box.addItem (juce::String (i + 1) + ") " + msgTypes[i], i + 1);

            // "null" is read back as the first type; a fader touch that sends
            // nothing shows its own item instead.
            select (t == 0 && numTypes == 4 ? 3 : Defa::selForMsgType (t));
        }
        else if (k == CtKind::button)
        {
            for (int i = 0; i < 30; ++i)
                box.addItem (hexItem ("%2d) 0x%02X", i, i), i + 1);

            if (m == CtMode::usrdefHui)
                select (v1 < 0 ? 29 : juce::jmin (v1, 29));
        }
        else if (k == CtKind::knob || k == CtKind::jogWheel)
        {
            box.addItem (hexItem ("%2d) 0x%02X", 0, k == CtKind::knob ? HuiKnV1[0] : 0x0D), 1);

            if (m == CtMode::usrdefHui)
                select (0);
        }
        else
        {
            for (int i = 0; i < (int) std::size (HuiFdknV1); ++i)
                box.addItem (hexItem ("%2d) 0x%02X", i, HuiFdknV1[i]), i + 1);

            if (m == CtMode::usrdefHui)
                select (v1 / 64);
        }

        box.setEnabled (userMode);
    }
    else if (&box == &chanBox)
    {
        if (! hui)
        {
            for (int c = 1; c <= 16; ++c)
                box.addItem (juce::String (c), c);

            select (Defa::getChan (m, cid) - 1);
        }
        else if (k == CtKind::button)
        {
            for (int i = 0; i < (int) std::size (HuiBnV2); ++i)
                box.addItem (hexItem ("%d) 0x%02X", i, HuiBnV2[i]), i + 1);

            if (m == CtMode::usrdefHui)
                select (indexIn (HuiBnV2, (int) std::size (HuiBnV2), v2));
        }
        else if (k == CtKind::jogWheel)
        {
            for (int i = 0; i < (int) std::size (HuiJogV2); ++i)
                box.addItem (hexItem ("%2d) 0x%02X", i, HuiJogV2[i]), i + 1);

            if (m == CtMode::usrdefHui)
                select (juce::jmax (0, indexIn (HuiJogV2, (int) std::size (HuiJogV2), v2)));
        }
        else
        {
            const int last = k == CtKind::knob ? 7 : 8;

            for (int i = 0; i <= last; ++i)
                box.addItem (hexItem ("%2d) 0x%02X", i, i), i + 1);

            if (m == CtMode::usrdefHui)
                select (isBetween (v2, 0, last) ? v2 : 0);
        }

        box.setEnabled (userMode);
    }
    else if (&box == &funcBox)
    {
        for (int i = 0; i < Defa::nSelsInFunc2 (m, k); ++i)
        {
            const auto name = Defa::getName3 (m, k, i, t);
            juce::String text;

            if (m == CtMode::proTools)
                text = name;
            else if (m == CtMode::usrdefHui)
                text = juce::String (i) + ") " + name;
            else
                text = juce::String::formatted ("%-2d", i) + ") " + name;

            box.addItem (nonEmpty (text), i + 1);
            box.getValues().add (Defa::getValue2 (m, k, i));
        }

        if (m == CtMode::usrdefHui)
            select (posOfPair (k, v1, v2));
        else if (! hui && showsItsDataByte (cid))
            select (Defa::getMsVal (cid));
        else
            select (Defa::selForval2 (m, k, control.value.getValue()));

        box.setEnabled (userMode);
    }
    else if (&box == &rotBox)
    {
        for (int i = 0; i < 2; ++i)
            box.addItem (juce::String (i + 1) + ") " + velos[i], i + 1);

        const bool shown = m == CtMode::usrdefMcp && RecordBytes::hasRotationPattern (t, cid);

        box.setEnabled (shown);
        box.setVisible (shown);
        rotLabel.setVisible (shown);

        select (Defa::getVelo (m, cid) != 64 ? 1 : 0);
    }

    control.updateText();
}

//==============================================================================
void ContentComponent::comboBoxChanged (juce::ComboBox* box)
{
    auto* trv = TrvPlus::getInstance();

    if (box == &ptclBox)
    {
        const int p = ptclBox.getSelectedPtcl();
        trv->setCtMode (CtMode (CtMode::usrdefMcp + p));
        trv->setPtcl (p);
        stabilize_controls();
        return;
    }

    if (box == &modeBox)
    {
        trv->setCtMode (modeBox.getSelectedMode());
        stabilize_controls();
        return;
    }

    auto* sel = findSelectedControl();

    if (sel == nullptr)
        return;

    if (box == &typeBox)
        typeBoxChanged (*sel);
    else if (box == &chanBox)
        chanBoxChanged (*sel);
    else if (box == &funcBox)
        funcBoxChanged (*sel);
    else if (box == &rotBox)
        rotBoxChanged (*sel);
}

void ContentComponent::typeBoxChanged (MappableButton& sel)
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int k = kindOf (sel.cid);
    const int s = typeBox.getSelectedId() - 1;

    if (m != CtMode::usrdefHui)
    {
        if (! juce::isPositiveAndBelow (s, (int) std::size (typOfSele)))
            return;

        sel.setMsgType (typOfSele[s]);

        if (isJogPair (sel.cid))
            otherJogHalf().setMsgType (typOfSele[s]);
    }
    else
    {
        int a = 0;

        switch (k)
        {
            case CtKind::knob:          a = HuiKnV1[0]; break;
            case CtKind::jogWheel:      a = 0x0D; break;
            case CtKind::fader:
            case CtKind::masterFader:
                if (! juce::isPositiveAndBelow (s, (int) std::size (HuiFdknV1)))
                    return;
                a = HuiFdknV1[s];
                break;
            default:
                if (s < 0)
                    return;
                a = s;
                break;
        }

        sel.setV1orV2 (CtMode (m), CtKind (k), a, 1);
        sel.setValue (posOfPair (k, a, sel.value2.getValue()));
    }

    updWith (funcBox, sel);
    updWith (rotBox, sel);
}

void ContentComponent::chanBoxChanged (MappableButton& sel)
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int k = kindOf (sel.cid);
    const int id = chanBox.getSelectedId();

    if (m != CtMode::usrdefHui)
    {
        if (! isBetween (id, 1, 16))
            return;

        const bool pair = isJogPair (sel.cid);
        sel.setChan (id);

        if (pair)
            otherJogHalf().setChan (id);

        updWith (funcBox, pair ? otherJogHalf() : sel);
        return;
    }

    const int s = id - 1;
    int b = s;

    if (k == CtKind::button)
    {
        if (! juce::isPositiveAndBelow (s, (int) std::size (HuiBnV2)))
            return;
        b = HuiBnV2[s];
    }
    else if (k == CtKind::jogWheel)
    {
        if (! juce::isPositiveAndBelow (s, (int) std::size (HuiJogV2)))
            return;
        b = HuiJogV2[s];
    }
    else if (s < 0)
    {
        return;
    }

    sel.setV1orV2 (CtMode (m), CtKind (k), b, 2);
    sel.setValue (posOfPair (k, sel.value1.getValue(), b));
    updWith (funcBox, sel);
}

void ContentComponent::funcBoxChanged (MappableButton& sel)
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int cid = sel.cid;
    const int k = kindOf (cid);
    const int v = funcBox.getMappedValue();

    if (m == CtMode::usrdefHui)
    {
        const auto list = HuiPairList::of (k);

        if (! juce::isPositiveAndBelow (v, list.size))
            return;

        const int a = list.pairs[v][0];
        const int b = list.pairs[v][1];

        sel.setValue (v);
        sel.setV1orV2 (CtMode (m), CtKind (k), a, 1);
        sel.setV1orV2 (CtMode (m), CtKind (k), b, 2);
        sel.setValue (posOfPair (k, a, b));
        updWith (typeBox, sel);
        updWith (chanBox, sel);
        return;
    }

    const bool pair = isJogPair (cid);
    sel.setValue (v);

    if (pair)
        otherJogHalf().setValue (v);

    // A control with a rotation pattern takes the one its rotation bytes
    // keep for the new controller number.
    int w = 127;

    if (m == CtMode::usrdefMcp && RecordBytes::hasRotationPattern (Defa::getMsgType (m, cid), cid))
        w = RecordBytes::rotationByte (cid, v);

    sel.setVelo (w);

    if (pair)
        otherJogHalf().setVelo (w);

    updWith (rotBox, pair ? otherJogHalf() : sel);
}

void ContentComponent::rotBoxChanged (MappableButton& sel)
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int w = rotBox.getSelectedId() == 1 ? 64 : 127;

    if (m != CtMode::usrdefMcp)
        return;

    sel.setVelo (w);

    if (isJogPair (sel.cid))
        otherJogHalf().setVelo (w);
}
