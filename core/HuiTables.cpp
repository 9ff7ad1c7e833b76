#include "core/HuiTables.h"

// Button functions: value1 is the HUI zone, value2 is 0x40 | port. Entry 0 is
// the unnamed switch that factory-fills the buttons without a HUI function.
const char HuiBtnFuncs0[101][19] =
{
    "", "TOU.1", "TOU.2", "TOU.3", "TOU.4", "TOU.5", "TOU.6", "TOU.7",  // 0-7
    "TOU.8", "Ctrl", "Mixer", "1<", "Output", "Assign", "Up", "Enter",  // 8-15
    "Shift", "Edit", "<<8", "Input", "Right", "Rewind", "?Latch", "PlugAsgn",  // 16-23
    "MUTE1", "MUTE2", "MUTE3", "MUTE4", "MUTE5", "MUTE6", "MUTE7", "MUTE8",  // 24-31
    "Alt", "Transpt", ">1", "Pan", "Suspend", "Zoom", "FastFwd", "IN",  // 32-39
    "?Read", "SOLO1", "SOLO2", "SOLO3", "SOLO4", "SOLO5", "SOLO6", "SOLO7",  // 40-47
    "SOLO8", "Undo", "MemLock", "8>>", "SendE", "Flip", "Left", "Stop",  // 48-55
    "Loop", "OUT", "?Off", "Cmd", "SendD", "Down", "Play", "Punch",  // 56-63
    "?Write", "MON.1", "MON.2", "MON.3", "MON.4", "MON.5", "MON.6", "MON.7",  // 64-71
    "MON.8", "Option", "SendC", "Scrub", "Rec", "?Touch", "SEL1", "SEL2",  // 72-79
    "SEL3", "SEL4", "SEL5", "SEL6", "SEL7", "SEL8", "SendB", "Bypass",  // 80-87
    "REC1", "REC2", "REC3", "REC4", "REC5", "REC6", "REC7", "REC8",  // 88-95
    "Save", "SendA", "?Trim", "Cancel", "Compare",  // 96-100
};

const unsigned char HuiBnVaPairs0[101][2] =
{
    { 29, 0x47 }, {  0, 0x40 }, {  1, 0x40 }, {  2, 0x40 }, {  3, 0x40 }, {  4, 0x40 },  // 0-5
    {  5, 0x40 }, {  6, 0x40 }, {  7, 0x40 }, {  8, 0x40 }, {  9, 0x40 }, { 10, 0x40 },  // 6-11
    { 11, 0x40 }, { 12, 0x40 }, { 13, 0x40 }, { 20, 0x40 }, {  8, 0x41 }, {  9, 0x41 },  // 12-17
    { 10, 0x41 }, { 11, 0x41 }, { 13, 0x41 }, { 14, 0x41 }, { 24, 0x41 }, { 28, 0x41 },  // 18-23
    {  0, 0x42 }, {  1, 0x42 }, {  2, 0x42 }, {  3, 0x42 }, {  4, 0x42 }, {  5, 0x42 },  // 24-29
    {  6, 0x42 }, {  7, 0x42 }, {  8, 0x42 }, {  9, 0x42 }, { 10, 0x42 }, { 11, 0x42 },  // 30-35
    { 12, 0x42 }, { 13, 0x42 }, { 14, 0x42 }, { 16, 0x42 }, { 24, 0x42 }, {  0, 0x43 },  // 36-41
    {  1, 0x43 }, {  2, 0x43 }, {  3, 0x43 }, {  4, 0x43 }, {  5, 0x43 }, {  6, 0x43 },  // 42-47
    {  7, 0x43 }, {  8, 0x43 }, {  9, 0x43 }, { 10, 0x43 }, { 11, 0x43 }, { 12, 0x43 },  // 48-53
    { 13, 0x43 }, { 14, 0x43 }, { 15, 0x43 }, { 16, 0x43 }, { 24, 0x43 }, {  8, 0x44 },  // 54-59
    { 11, 0x44 }, { 13, 0x44 }, { 14, 0x44 }, { 15, 0x44 }, { 24, 0x44 }, {  0, 0x44 },  // 60-65
    {  1, 0x44 }, {  2, 0x44 }, {  3, 0x44 }, {  4, 0x44 }, {  5, 0x44 }, {  6, 0x44 },  // 66-71
    {  7, 0x44 }, {  8, 0x45 }, { 11, 0x45 }, { 13, 0x45 }, { 14, 0x45 }, { 24, 0x45 },  // 72-77
    {  0, 0x41 }, {  1, 0x41 }, {  2, 0x41 }, {  3, 0x41 }, {  4, 0x41 }, {  5, 0x41 },  // 78-83
    {  6, 0x41 }, {  7, 0x41 }, { 11, 0x46 }, { 28, 0x46 }, {  0, 0x47 }, {  1, 0x47 },  // 84-89
    {  2, 0x47 }, {  3, 0x47 }, {  4, 0x47 }, {  5, 0x47 }, {  6, 0x47 }, {  7, 0x47 },  // 90-95
    {  8, 0x47 }, { 11, 0x47 }, { 24, 0x47 }, { 27, 0x47 }, { 28, 0x47 },  // 96-100
};

const char HuiKnFuncs0[8][19] =
{
    "PAN.1", "PAN.2", "PAN.3", "PAN.4", "PAN.5", "PAN.6", "PAN.7", "PAN.8"
};

const unsigned char HuiKnVaPairs0[8][2] =
{
    { 64, 0 }, { 64, 1 }, { 64, 2 }, { 64, 3 }, { 64, 4 }, { 64, 5 }, { 64, 6 }, { 64, 7 }
};

const char HuiFdknFuncs0[18][19] =
{
    "VOL.1", "VOL.2", "VOL.3", "VOL.4", "VOL.5", "VOL.6", "VOL.7", "VOL.8", "VOL.M",
    "PAN.1", "PAN.2", "PAN.3", "PAN.4", "PAN.5", "PAN.6", "PAN.7", "PAN.8", ""
};

const unsigned char HuiFdknVaPairs0[18][2] =
{
    { 32, 0 }, { 32, 1 }, { 32, 2 }, { 32, 3 }, { 32, 4 }, { 32, 5 }, { 32, 6 }, { 32, 7 }, { 32, 8 },
    { 64, 0 }, { 64, 1 }, { 64, 2 }, { 64, 3 }, { 64, 4 }, { 64, 5 }, { 64, 6 }, { 64, 7 }, { 64, 8 }
};

const char HuiJogFuncs0[2][19] = { "Tape Back", "Tape Fwd" };

const unsigned char HuiJogVaPairs0[2][2] = { { 13, 0 }, { 13, 64 } };

const int HuiBnV2[8] = { 64, 65, 66, 67, 68, 69, 70, 71 };
const int HuiFdknV1[2] = { 32, 64 };
const int HuiKnV1[1] = { 64 };
const int HuiJogV2[2] = { 0, 64 };

// Slots 0-69 belong to the buttons (by cid2BnAidHui), 70-77 to the knobs,
// 78 and 79 to the jog halves (by cid2BnAidHui) and 89-97 to the faders
// (knobs and faders by record row - 1); the other slots hold no control.
const int HuiBtnMappIndex[104] =
{
    78, 79, 80, 81, 82, 83, 84, 85,  // slots 0-7
    24, 25, 26, 27, 28, 29, 30, 31,  // slots 8-15
    41, 42, 43, 44, 45, 46, 47, 48,  // slots 16-23
    88, 89, 90, 91, 92, 93, 94, 95,  // slots 24-31
    10, 40, 64,  0, 51, 18, 34, 11,  // slots 32-39
    21, 38, 55, 62, 56, 76, 37, 37,  // slots 40-47
     0,  0,  0,  0,  0,  0,  0,  0,  // slots 48-55
     0, 65, 66, 67, 68, 69, 70, 71,  // slots 56-63
    72, 75, 61, 14, 20, 54,  0,  1,  // slots 64-71
     2,  3,  4,  5,  6,  7,  1,  0,  // slots 72-79
     1,  2,  3,  4,  5,  6,  7,  8,  // slots 80-87
     0,  0,  1,  2,  3,  4,  5,  6,  // slots 88-95
     7,  8,  0,  0,  0,  0,  0,  0,  // slots 96-103
};

// Ids 73 and 74 (the jog halves) lead to slots 79 and 78; the knob, fader and
// master-fader ids are listed but those controls take their slot from their
// record row instead.
const int cid2BnAidHui[92] =
{
     0, 24, 25, 26, 27, 28, 29, 30,  // ids 0-7
    31, 16, 17, 18, 19, 20, 21, 22,  // ids 8-15
    23,  8,  9, 10, 11, 12, 13, 14,  // ids 16-23
    15,  0,  1,  2,  3,  4,  5,  6,  // ids 24-31
     7, 57, 58, 59, 60, 61, 62, 63,  // ids 32-39
    64, 32, 33, 34, 35, 36, 37, 38,  // ids 40-47
    39, 40, 41, 42, 43, 44, 45, 46,  // ids 48-55
    47, 48, 49, 50, 51, 52, 53, 54,  // ids 56-63
    55, 56, 65, 66, 67, 74, 75, 70,  // ids 64-71
    71, 79, 78, 68, 69, 76, 77, 72,  // ids 72-79
    73, 80, 81, 82, 83, 84, 69, 68,  // ids 80-87
    67, 66,  0,  0,  // ids 88-91
};

const int HuiKnoMappIndex[8] = { 0, 1, 2, 3, 4, 5, 6, 7 };
const int HuiFadMappIndex[9] = { 0, 1, 2, 3, 4, 5, 6, 7, 8 };
const int HuiJogMappIndex[2] = { 0, 1 };
