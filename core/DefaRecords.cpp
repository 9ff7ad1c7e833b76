#include "core/Defa.h"

#include "core/MirrorTables.h"
#include "core/RecordRow.h"

const unsigned char* Defa::recordOf (int mode, int cid)
{
    static const unsigned char noRecord[4] {};

    if (! juce::isPositiveAndBelow (mode, (int) juce::numElementsInArray (arrForMoid)))
        return noRecord;

    const int row = rowForCid (cid);

    if (! juce::isPositiveAndBelow (row, 100))
        return noRecord;

    return arrForMoid[mode][row];
}

int Defa::getMsgType (int mode, int cid)
{
    return CtMode::isHui (mode) ? 11 : recordOf (mode, cid)[0];
}

int Defa::getChan (int mode, int cid)
{
    return (recordOf (mode, cid)[1] & 15) + 1;
}

int Defa::getVelo (int mode, int cid)
{
    return recordOf (mode, cid)[3];
}
