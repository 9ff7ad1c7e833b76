#include "core/Defa.h"

#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "core/TrvPlus.h"

int Defa::getMsVal (int cid)
{
    const int s = rowForCid (cid);
    int mode = CtMode::mackie;

    if (auto* trv = TrvPlus::getInstance())
        mode = trv->getCurrentMap().getCtMode().getValue();

    return arrForMoid[juce::jlimit (0, 4, mode)][s][2];
}
