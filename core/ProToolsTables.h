#pragma once

// Constant tables of the "pro-tools" mode: the HUI record of every HUI control
// index with its name, and the lists that lead from a kind's list position to
// a HUI control index.

extern const unsigned char protoolsMapping0[120][4];
extern const char protoolsControlNames[119][40];

extern const int protoolsButtonIndexes[101];
extern const int protoolsKnobIndexes[8];
extern const int protoolsFaderIndexes[16];
extern const int protoolsMasterFaderIndexes[2];
extern const int protoolsJogIndexesWhenZmN[1];
extern const int protoolsJogIndexesWhenZmLR[4];

// Factory HUI control index of the buttons with list index 40 to 63.
extern const int protoolsButtonDefaults[24];
