#include "core/Defa.h"

#include "core/ControlIds.h"
#include "core/HuiPairList.h"
#include "core/HuiTables.h"
#include "core/MirrorTables.h"
#include "core/ProToolsTables.h"
#include "core/RecordRow.h"
#include "core/SharedFlags.h"

namespace
{
    constexpr int button = 0, knob = 1, jogWheel = 2, fader = 3, masterFader = 4;

    template <typename T, size_t N>
    T entryOf (const T (&list)[N], int index)
    {
        return juce::isPositiveAndBelow (index, (int) N) ? list[index] : T {};
    }

    // The HUI slot of a control in "usrdef-hui": buttons and the jog wheel
    // have their own slots, the other kinds use their record row's slot.
    int huiSlotOf (int kind, int cid)
    {
        if (kind == button || kind == jogWheel)
            return entryOf (cid2BnAidHui, cid);

        return rowForCid (cid) - 1;
    }

    // Factory HUI control index of a "pro-tools" button by its list position
    // or slot: the first forty follow the control list, the rest are fixed.
    int proToolsButtonDefault (int index)
    {
        return index <= 39 ? index + 19 : entryOf (protoolsButtonDefaults, index - 40);
    }

    // In a cursor state the left half stands for left or up and the right half
    // for right or down: the cursor key the editor shows for that half. Any
    // state other than 1 is treated as up/down, as the record rows are.
    int proToolsCursorJogIndex (int cid)
    {
        const int firstOfState = isZoomNorLR == 1 ? 0 : 2;
        return entryOf (protoolsJogIndexesWhenZmLR, firstOfState + (cid == ControlIds::rightJogHalf ? 1 : 0));
    }

    // HUI channel of a strip's knob or fader for the transfer: strip n is n - 1,
    // the master fader 8.
    int proToolsChannelOf (int kind, int cid)
    {
        switch (kind)
        {
            case knob:         return cid - ControlIds::firstKnob;
            case fader:        return cid - ControlIds::firstFader;
            case masterFader:  return 8;
            default:           return 0;
        }
    }
}

int Defa::factoryValue (int mode, int cid)
{
    const int kind = kindForCid (cid);
    const int index = indexForId (cid);

    if (mode == 2)
    {
        if (kind == button)
            return proToolsButtonDefault (index);

        if (kind == jogWheel && isZoomNorLR != 0)
            return proToolsCursorJogIndex (cid);

        return getValueHUI (mode, kind, index);
    }

    if (mode == 4)
        return HuiPairList::of (kind).find (factoryV1V2 (mode, cid, 1), factoryV1V2 (mode, cid, 2));

    return recordOf (mode, cid)[2];
}

int Defa::factoryV1V2 (int mode, int cid, int which)
{
    const int kind = kindForCid (cid);
    const int slot = rowForCid (cid) - 1;

    if (mode == 4)
        return HuiPairList::of (kind).byteOf (entryOf (HuiBtnMappIndex, huiSlotOf (kind, cid)), which);

    if (mode == 2)
    {
        switch (kind)
        {
            case button:    return proToolsButtonDefault (slot);
            case jogWheel:  return isZoomNorLR == 0 ? protoolsJogIndexesWhenZmN[0] : proToolsCursorJogIndex (cid);
            default:        return proToolsChannelOf (kind, cid);
        }
    }

    // Mackie Control modes: nothing reads value1 or value2 of the analogue
    // controls here, so they stay 0.
    if (kind == button)
        return getButtonValue2 (mode, slot);

    if (kind == jogWheel && isZoomNorLR != 0)
        return slot;

    return 0;
}

int Defa::getButtonValue2 (int mode, int i)
{
    if (i < 40)
        return i;

    // Row i + 1 must be a row of the table; testing i itself keeps a huge
    // slot from overflowing on the way.
    if (! juce::isPositiveAndBelow (mode, (int) juce::numElementsInArray (arrForMoid))
         || ! juce::isPositiveAndBelow (i, 99))
        return 0;

    return arrForMoid[mode][i + 1][2];
}
