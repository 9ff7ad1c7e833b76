#include "core/Defa.h"

#include "core/MessageTypes.h"
#include "core/SharedFlags.h"

int Defa::kindForCid (int cid)
{
    if (cid >= 65 && cid <= 72)  return 1;
    if (cid == 73 || cid == 74)  return 2;
    if (cid >= 77 && cid <= 84)  return 3;
    if (cid == 85)               return 4;
    return 0;
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
    if (cid <= 0)                return -1;
    if (cid <= 64)               return cid - 1;
    if (cid <= 72)               return cid - 65;

    if (cid == 73 || cid == 74)
    {
        switch (isZoomNorLR)
        {
            case 0:   return 0;
            case 1:   return 2 + isJogLorR;
            case 2:   return 4 + isJogLorR;
            default:  return -1;
        }
    }

    if (cid <= 76)               return cid - 29;
    if (cid <= 84)               return cid - 77;
    if (cid == 85)               return 0;
    if (cid <= 89)               return 155 - cid;
    return -1;
}
