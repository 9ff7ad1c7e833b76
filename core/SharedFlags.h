#pragma once

#include "core/ProductIds.h"

// Flags written by the editor and read by the core; all start at 0 / false.

// Jog-wheel state: 0 jog, 1 cursor left/right, 2 cursor up/down.
extern int isZoomNorLR;

// Active jog half: 0 left, 1 right.
extern int isJogLorR;

// True while the Trevan X layout is shown.
extern bool displayingExpander;

// The product of the layout shown: the Trevan X while displayingExpander,
// else the Trevan M. The mapping transfer's start frame and the firmware
// wizard name it.
zorv::PID_S layoutProductId();

// Protocol (0 Mackie Control, 1 HUI) of the last user-defined mode whose
// protocol was recomputed.
extern int g_LasPtcl4Usdf;

// Control ids of the two jog halves, by jog-wheel state.
extern const int zomjog2cid[3][2];
