#include "core/Defa.h"

#include "core/RecordBytes.h"
#include "core/TrvPlus.h"

int Defa::getMsVal (int cid)
{
    int mode = CtMode::mackie;

    if (auto* trv = TrvPlus::getInstance())
        mode = trv->getCurrentMap().getCtMode().getValue();

    return RecordBytes::dataByte (mode, cid);
}
