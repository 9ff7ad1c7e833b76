#pragma once

#include "core/CtKind.h"
#include "core/CtMode.h"

// Slot index of a control in a mode's tables. In "usrdef-hui" buttons and the
// jog halves take their HUI slot; everywhere else it is the record row - 1, so
// the record a setter writes is row aidForCid (...) + 1. An id outside 0..89
// gives 98, the slot of the record row that belongs to no control.
int aidForCid (CtMode mode, CtKind kind, int cid);
