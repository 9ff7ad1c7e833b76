#pragma once

// Constant tables of the "usrdef-hui" mode: per kind the list of HUI functions
// with their (value1, value2) pairs, the value lists of the editor's boxes and
// the index tables from control id to HUI slot and from slot to pair.

extern const char HuiBtnFuncs0[101][19];
extern const unsigned char HuiBnVaPairs0[101][2];

extern const char HuiKnFuncs0[8][19];
extern const unsigned char HuiKnVaPairs0[8][2];

extern const char HuiFdknFuncs0[18][19];
extern const unsigned char HuiFdknVaPairs0[18][2];

extern const char HuiJogFuncs0[2][19];
extern const unsigned char HuiJogVaPairs0[2][2];

extern const int HuiBnV2[8];
extern const int HuiFdknV1[2];
extern const int HuiKnV1[1];
extern const int HuiJogV2[2];

// HUI slot -> index into the pair list of the control's kind.
extern const int HuiBtnMappIndex[104];
// Control id -> HUI slot of buttons and the jog wheel.
extern const int cid2BnAidHui[92];
// List position -> pair index, used when the pair tables are refilled.
extern const int HuiKnoMappIndex[8];
extern const int HuiFadMappIndex[9];
extern const int HuiJogMappIndex[2];
