#include "editor/AidForCid.h"

#include "core/ControlIds.h"
#include "core/HuiTables.h"
#include "core/RecordRow.h"

int aidForCid (CtMode mode, CtKind kind, int cid)
{
    // rowForCid keeps any id inside the tables; the HUI slot table must be
    // guarded here, since it only knows the ids it was made for.
    const bool knownId = cid >= 0 && cid <= ControlIds::count;

    const bool takesHuiSlot = mode == CtMode::usrdefHui
                               && kind != CtKind::knob
                               && kind != CtKind::fader
                               && kind != CtKind::masterFader;

    if (takesHuiSlot && knownId)
        return cid2BnAidHui[cid];

    return rowForCid (cid) - 1;
}
