#include "core/RecordRow.h"

#include "core/ControlIds.h"
#include "core/SharedFlags.h"

namespace
{
    // Returned for ids outside 0..89. Row 99 belongs to no control, is never
    // sent to the controller, is not touched by the factory refill and its
    // slot index (98) is not negative: a write that lands there by mistake
    // changes nothing any reader looks at.
    constexpr int unusedRow = 99;

    // Record rows of the ids 49 to 64 (master strip, bank, transport and scrub).
    constexpr int rowsOfIds49To64[16] =
    {
        36, 35, 34, 33, 89,      // 49-53
        40, 39, 38, 37,          // 54-57
        41, 42, 44, 43, 46, 45,  // 58-63
        66                       // 64
    };

    // Record rows of the cursor targets 86 to 89.
    constexpr int rowsOfIds86To89[4] = { 69, 70, 67, 68 };
}

int rowForCid (int cid)
{
    using namespace ControlIds;

    if (cid < 0 || cid > count)
        return unusedRow;

    if (cid == 0)               return 1;
    if (cid <= 8)               return cid + 24;  // record arm
    if (cid <= 16)              return cid + 8;   // solo
    if (cid <= 24)              return cid - 8;   // mute
    if (cid <= 32)              return cid - 24;  // select
    if (cid <= 40)              return cid + 25;  // knob push
    if (cid <= lastFaderTouch)  return cid + 40;  // fader touch
    if (cid <= lastButton)      return rowsOfIds49To64[cid - 49];
    if (cid <= lastKnob)        return cid + 6;   // knobs

    if (isJogHalf (cid))
    {
        // In a cursor state the jog halves share the rows of the cursor targets.
        if (isZoomNorLR == 0)  return 153 - cid;
        if (isZoomNorLR == 1)  return cid - 4;
        return cid - 6;
    }

    if (isZoomButton (cid))     return cid - 28;  // 47, 48
    if (cid <= masterFader)     return cid + 13;  // faders and master fader
    return rowsOfIds86To89[cid - cursorLeft];
}
