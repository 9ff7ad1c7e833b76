// The jog wheel of the editor page: selecting a control (a click on a zoom
// button or a jog half moves the jog-wheel state), the toggles that show the
// state, the binding of the two halves to the controls of the state, and the
// value each half stands for.

#include "editor/ContentComponent.h"

#include "editor/AidForCid.h"
#include "editor/JogHalfValue.h"

#include "core/ControlIds.h"
#include "core/CtMap.h"
#include "core/Defa.h"
#include "core/HuiTables.h"
#include "core/ProToolsTables.h"
#include "core/RecordBytes.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"

namespace
{
    // The ids a jog-half button stands for in some zoom state.
    bool isJogHalfId (int cid)
    {
        return ControlIds::isJogHalf (cid) || ControlIds::isCursorTarget (cid);
    }

    bool isLeftJogHalfId (int cid)
    {
        return cid == ControlIds::leftJogHalf || cid == ControlIds::cursorLeft || cid == ControlIds::cursorUp;
    }

    // The zoom state shown; anything else counts as the nearest state rather
    // than reading past the tables.
    int zoomState()
    {
        return juce::jlimit (0, 2, isZoomNorLR);
    }
}

int jogHalfValue (int mode, int cid)
{
    const bool cursor = ControlIds::isCursorTarget (cid);

    switch (mode)
    {
        case CtMode::proTools:
            return cursor ? protoolsJogIndexesWhenZmLR[cid - ControlIds::cursorLeft]
                          : protoolsJogIndexesWhenZmN[0];

        case CtMode::usrdefHui:
            return cursor ? HuiBtnMappIndex[aidForCid (CtMode (mode), CtKind (CtKind::button), cid)]
                          : HuiJogMappIndex[cid == ControlIds::rightJogHalf ? 1 : 0];

        default:
            return RecordBytes::dataByte (mode, cid);
    }
}

//==============================================================================
void ContentComponent::selectControl (MappableButton& clicked)
{
    const int c = clicked.cid;
    MappableButton* target = &clicked;

    clearToggleStates();

    if (ControlIds::isZoomButton (c))
    {
        // A second click on the active zoom button returns to the jog state.
        const int state = c - ControlIds::zoomButton1 + 1;
        isZoomNorLR = (state == isZoomNorLR) ? 0 : state;
        ToggOnZoomNorLR();
        ToggOnJogLorR();
        target = &activeJogHalf();
    }
    else if (isJogHalfId (c))
    {
        isJogLorR = isLeftJogHalfId (c) ? 0 : 1;
        ToggOnJogLorR();
        ToggOnZoomNorLR();
        target = &activeJogHalf();
    }
    else
    {
        clicked.setToggleState (true, juce::dontSendNotification);

        if (clicked.isShowing())
            clicked.grabKeyboardFocus();
    }

    updAttrBoxesWith (*target);
}

void ContentComponent::clearToggleStates()
{
    for (auto* child : panelChildren())
        if (auto* button = dynamic_cast<MappableButton*> (child))
            button->setToggleState (false, juce::dontSendNotification);
}

void ContentComponent::ToggOnZoomNorLR()
{
    if (isZoomNorLR == 1)
        controls.zoomButton1->setToggleState (true, juce::dontSendNotification);
    else if (isZoomNorLR == 2)
        controls.zoomButton2->setToggleState (true, juce::dontSendNotification);
}

void ContentComponent::ToggOnJogLorR()
{
    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const int z = zoomState();

    auto& left = *controls.leftJogHalf;
    auto& right = *controls.rightJogHalf;

    // In the factory modes the halves keep the binding to controls 73 and 74
    // that the panel gave them.
    if (m == CtMode::usrdefMcp || m == CtMode::usrdefHui)
        bindJogHalvesToZoomState();

    left.setValue (jogHalfValue (m, zomjog2cid[z][0]));
    right.setValue (jogHalfValue (m, zomjog2cid[z][1]));

    auto& active = activeJogHalf();
    active.setToggleState (true, juce::dontSendNotification);

    if (active.isShowing())
        active.grabKeyboardFocus();

    otherJogHalf().updateText();
}

void ContentComponent::bindJogHalvesToZoomState()
{
    const auto map = TrvPlus::getInstance()->getCurrentMap();
    const int z = zoomState();

    for (auto [half, id] : { std::pair (controls.leftJogHalf.get(), zomjog2cid[z][0]),
                             std::pair (controls.rightJogHalf.get(), zomjog2cid[z][1]) })
    {
        half->kind = CtKind (Defa::kindForCid (id));
        half->setMapping (map.getControlById (id));
    }
}

MappableButton& ContentComponent::activeJogHalf() const
{
    return isJogLorR == 1 ? *controls.rightJogHalf : *controls.leftJogHalf;
}

MappableButton& ContentComponent::otherJogHalf() const
{
    return isJogLorR == 1 ? *controls.leftJogHalf : *controls.rightJogHalf;
}
