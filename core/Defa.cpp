#include "core/Defa.h"

#include "core/ControlIds.h"
#include "core/CtKind.h"
#include "core/MessageTypes.h"
#include "core/SharedFlags.h"

int Defa::kindForCid (int cid)
{
    using namespace ControlIds;

    if (isKnob (cid))         return CtKind::knob;
    if (isJogHalf (cid))      return CtKind::jogWheel;
    if (isFader (cid))        return CtKind::fader;
    if (isMasterFader (cid))  return CtKind::masterFader;
    return CtKind::button;
}

juce::String Defa::getMstyStr (int nibble)
{
    switch (nibble)
    {
        case 9:   return "note";
        case 11:  return "cc";
        case 14:  return "pitch";
        default:  return {};
    }
}

int Defa::getMstyForSel (int sel)
{
    return juce::isPositiveAndBelow (sel, (int) juce::numElementsInArray (typOfSele)) ? typOfSele[sel] : 0;
}

int Defa::selForMsgType (int nibble)
{
    // Only the three real message types are searched: "null" (nibble 0) reads
    // back as the first entry.
    for (int i = 0; i < 3; ++i)
        if (typOfSele[i] == nibble)
            return i;

    return 0;
}

int Defa::indexForId (int cid)
{
    using namespace ControlIds;

    if (cid <= 0)                return -1;
    if (isButton (cid))          return cid - 1;
    if (isKnob (cid))            return cid - firstKnob;

    if (isJogHalf (cid))
    {
        switch (isZoomNorLR)
        {
            case 0:   return 0;
            case 1:   return 2 + isJogLorR;
            case 2:   return 4 + isJogLorR;
            default:  return -1;
        }
    }

    if (isZoomButton (cid))      return cid - 29;    // 46, 47
    if (isFader (cid))           return cid - firstFader;
    if (isMasterFader (cid))     return 0;
    if (isCursorTarget (cid))    return 155 - cid;   // 69, 68, 67, 66
    return -1;
}
