#include "core/RecordBytes.h"

#include "core/ControlIds.h"
#include "core/CtKind.h"
#include "core/CtMode.h"
#include "core/HuiTables.h"
#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "core/SharedFlags.h"

#include <algorithm>
#include <iterator>

namespace
{
    // The record a writer keeps in step, or null where there is none: the
    // HUI modes keep no record table, and an id that names no control has
    // no row of its own (rowForCid (0) is the row of a real control).
    unsigned char* recordFor (int mode, int cid)
    {
        if (! ControlIds::isControl (cid))
            return nullptr;

        switch (mode)
        {
            case CtMode::mackie:     return cb[rowForCid (cid)];
            case CtMode::logic:      return lg[rowForCid (cid)];
            case CtMode::usrdefMcp:  return nd[rowForCid (cid)];
            default:                 return nullptr;
        }
    }

    // Unsigned throughout, so that no int, however large or negative, can
    // overflow on the way to its nibble.
    unsigned char statusByte (unsigned nibble, unsigned channelBits)
    {
        return (unsigned char) (((nibble << 4) | (channelBits & 0x0Fu)) & 0xFFu);
    }

    unsigned channelBitsOf (int channel)
    {
        return ((unsigned) channel - 1u) & 0x0Fu;
    }

    // The rotation row of a knob (0 to 7) or of the jog wheel (8), -1 for
    // any other control.
    int rotationRowOf (int cid)
    {
        if (! ControlIds::isKnob (cid) && ! ControlIds::isJogHalf (cid))
            return -1;

        return std::min (cid - ControlIds::firstKnob, (int) std::size (knobVelos) - 1);
    }

    // The pair that mirrors a control's (value1, value2) in "usrdef-hui",
    // inside the bounds of its table, or null for a control that has none.
    unsigned char* huiPairFor (int kind, int cid)
    {
        if (! ControlIds::isControl (cid))
            return nullptr;

        switch (kind)
        {
            case CtKind::button:
            {
                const int slot = cid2BnAidHui[cid];
                return (slot >= 0 && slot < (int) std::size (HuiBnPairs)) ? HuiBnPairs[slot] : nullptr;
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
}

namespace RecordBytes
{
    void setStatusNibble (int mode, int cid, int nibble)
    {
        if (auto* record = recordFor (mode, cid))
        {
            record[0] = (unsigned char) (nibble & 0xFF);
            record[1] = statusByte ((unsigned) nibble, record[1]);
        }
    }

    void setChannel (int mode, int cid, int channel)
    {
        if (auto* record = recordFor (mode, cid))
            record[1] = statusByte ((unsigned) record[1] >> 4, channelBitsOf (channel));
    }

    void setDataByte (int mode, int cid, int dataByte)
    {
        if (auto* record = recordFor (mode, cid))
            record[2] = (unsigned char) (dataByte & 0xFF);
    }

    void setVelocity (int mode, int cid, int velocity)
    {
        if (mode != CtMode::usrdefMcp)
            return;

        if (auto* record = recordFor (mode, cid))
            record[3] = (unsigned char) (velocity & 0xFF);
    }

    void setRecord (int mode, int cid, int nibble, int channel, int dataByte, int velocity)
    {
        if (auto* record = recordFor (mode, cid))
        {
            record[0] = (unsigned char) (nibble & 0xFF);
            record[1] = statusByte ((unsigned) nibble, channelBitsOf (channel));
            record[2] = (unsigned char) (dataByte & 0xFF);
            record[3] = (unsigned char) (velocity & 0xFF);
        }
    }

    int dataByte (int mode, int cid)
    {
        return arrForMoid[std::clamp (mode, 0, (int) std::size (arrForMoid) - 1)][rowForCid (cid)][2];
    }

    bool hasRotationPattern (int msgType, int cid)
    {
        return msgType == 11
            && (ControlIds::isKnob (cid) || (ControlIds::isJogHalf (cid) && isZoomNorLR == 0));
    }

    int rotationColumn (int controller)
    {
        return ((controller >= 16 && controller <= 23) || controller == 60) ? 0 : 1;
    }

    int rotationByte (int cid, int controller)
    {
        const int row = rotationRowOf (cid);
        return row >= 0 ? knobVelos[row][rotationColumn (controller)] : 0;
    }

    void setRotationByte (int cid, int controller, int velocity)
    {
        const int row = rotationRowOf (cid);

        if (row >= 0)
            knobVelos[row][rotationColumn (controller)] = (unsigned char) (velocity & 0xFF);
    }

    void setHuiPairByte (int mode, int kind, int cid, int which, int value)
    {
        if (mode != CtMode::usrdefHui || (which != 1 && which != 2))
            return;

        if (auto* pair = huiPairFor (kind, cid))
            pair[which - 1] = (unsigned char) (value & 0xFF);
    }
}
