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

    // What every refill of an attribute box reads of the control it shows.
    struct ShownControl
    {
        explicit ShownControl (const MappableButton& control)
            : mode (TrvPlus::getInstance()->getCurrentCtMode()),
              cid (control.cid),
              kind (kindOf (cid)),
              msgType (Defa::getMsgType (mode, cid)),
              value1 (control.value1.getValue()),
              value2 (control.value2.getValue())
        {
        }

        const int mode, cid, kind, msgType, value1, value2;
    };

    // A refill starts from an empty box: no items and no values behind them.
    void emptyBox (MapComboBox& box)
    {
        box.clear (juce::dontSendNotification);
        box.getValues().clearQuick();
    }

    // Without notification, so that no refill re-enters comboBoxChanged.
    void selectItem (MapComboBox& box, int index)
    {
        box.setSelectedItemIndex (index, juce::dontSendNotification);
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
            bindJogHalvesToZoomState();

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

void ContentComponent::dropHiddenSelection()
{
    auto* selected = findSelectedControl();

    if (selected == nullptr || ! controls.isParentOf (selected) || controls.isVisible())
        return;

    // The boxes would otherwise keep showing, and editing, a control that is
    // not on the page. The zoom state stays: it belongs to the unit's wheel.
    clearToggleStates();

    for (auto* box : { &typeBox, &chanBox, &funcBox, &rotBox })
        emptyBox (*box);

    rotBox.setVisible (false);
    rotLabel.setVisible (false);
}

//==============================================================================
void ContentComponent::updWith (MapComboBox& box, MappableButton& control)
{
    if (&box == &typeBox)
        refillTypeBox (control);
    else if (&box == &chanBox)
        refillChanBox (control);
    else if (&box == &funcBox)
        refillFuncBox (control);
    else if (&box == &rotBox)
        refillRotBox (control);

    control.updateText();
}

void ContentComponent::refillTypeBox (const MappableButton& control)
{
    const ShownControl c (control);
    emptyBox (typeBox);

    if (! CtMode::isHui (c.mode))
    {
        const int numTypes = ControlIds::isFaderTouch (c.cid) ? 4 : 3;

        for (int i = 0; i < numTypes; ++i)
            typeBox.addItem (juce::String (i + 1) + ") " + msgTypes[i], i + 1);

        // "null" is read back as the first type; a fader touch that sends
        // nothing shows its own item instead.
        selectItem (typeBox, c.msgType == 0 && numTypes == 4 ? 3 : Defa::selForMsgType (c.msgType));
    }
    else if (c.kind == CtKind::button)
    {
        for (int i = 0; i < 30; ++i)
            typeBox.addItem (hexItem ("%2d) 0x%02X", i, i), i + 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (typeBox, c.value1 < 0 ? 29 : juce::jmin (c.value1, 29));
    }
    else if (c.kind == CtKind::knob || c.kind == CtKind::jogWheel)
    {
        typeBox.addItem (hexItem ("%2d) 0x%02X", 0, c.kind == CtKind::knob ? HuiKnV1[0] : 0x0D), 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (typeBox, 0);
    }
    else
    {
        for (int i = 0; i < (int) std::size (HuiFdknV1); ++i)
            typeBox.addItem (hexItem ("%2d) 0x%02X", i, HuiFdknV1[i]), i + 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (typeBox, c.value1 / 64);
    }

    typeBox.setEnabled (isUserMode (c.mode));
}

void ContentComponent::refillChanBox (const MappableButton& control)
{
    const ShownControl c (control);
    emptyBox (chanBox);

    if (! CtMode::isHui (c.mode))
    {
        for (int channel = 1; channel <= 16; ++channel)
            chanBox.addItem (juce::String (channel), channel);

        selectItem (chanBox, Defa::getChan (c.mode, c.cid) - 1);
    }
    else if (c.kind == CtKind::button)
    {
        for (int i = 0; i < (int) std::size (HuiBnV2); ++i)
            chanBox.addItem (hexItem ("%d) 0x%02X", i, HuiBnV2[i]), i + 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (chanBox, indexIn (HuiBnV2, (int) std::size (HuiBnV2), c.value2));
    }
    else if (c.kind == CtKind::jogWheel)
    {
        for (int i = 0; i < (int) std::size (HuiJogV2); ++i)
            chanBox.addItem (hexItem ("%2d) 0x%02X", i, HuiJogV2[i]), i + 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (chanBox, juce::jmax (0, indexIn (HuiJogV2, (int) std::size (HuiJogV2), c.value2)));
    }
    else
    {
        const int last = c.kind == CtKind::knob ? 7 : 8;

        for (int i = 0; i <= last; ++i)
            chanBox.addItem (hexItem ("%2d) 0x%02X", i, i), i + 1);

        if (c.mode == CtMode::usrdefHui)
            selectItem (chanBox, isBetween (c.value2, 0, last) ? c.value2 : 0);
    }

    chanBox.setEnabled (isUserMode (c.mode));
}

void ContentComponent::refillFuncBox (const MappableButton& control)
{
    const ShownControl c (control);
    emptyBox (funcBox);

    for (int i = 0; i < Defa::nSelsInFunc2 (c.mode, c.kind); ++i)
    {
        const auto name = Defa::getName3 (c.mode, c.kind, i, c.msgType);
        juce::String text;

        if (c.mode == CtMode::proTools)
            text = name;
        else if (c.mode == CtMode::usrdefHui)
            text = juce::String (i) + ") " + name;
        else
            text = juce::String::formatted ("%-2d", i) + ") " + name;

        funcBox.addItem (nonEmpty (text), i + 1);
        funcBox.getValues().add (Defa::getValue2 (c.mode, c.kind, i));
    }

    if (c.mode == CtMode::usrdefHui)
        selectItem (funcBox, posOfPair (c.kind, c.value1, c.value2));
    else if (! CtMode::isHui (c.mode) && showsItsDataByte (c.cid))
        selectItem (funcBox, Defa::getMsVal (c.cid));
    else
        selectItem (funcBox, Defa::selForval2 (c.mode, c.kind, control.value.getValue()));

    funcBox.setEnabled (isUserMode (c.mode));
}

void ContentComponent::refillRotBox (const MappableButton& control)
{
    const ShownControl c (control);
    emptyBox (rotBox);

    for (int i = 0; i < 2; ++i)
        rotBox.addItem (juce::String (i + 1) + ") " + velos[i], i + 1);

    const bool shown = c.mode == CtMode::usrdefMcp && RecordBytes::hasRotationPattern (c.msgType, c.cid);

    rotBox.setEnabled (shown);
    rotBox.setVisible (shown);
    rotLabel.setVisible (shown);

    selectItem (rotBox, Defa::getVelo (c.mode, c.cid) != 64 ? 1 : 0);
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
