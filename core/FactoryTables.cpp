#include "core/FactoryTables.h"

// Rows 0, 49-57 and 99 belong to no control. The master fader (row 98) sends
// Pitch Bend on channel 9, the channel faders on channels 1 to 8.
const unsigned char cbBnAttrs0[100][4] =
{
    {  9, 0x90,   0, 127 },  // 0
    {  9, 0x90,  24, 127 },  // 1
    {  9, 0x90,  25, 127 },  // 2
    {  9, 0x90,  26, 127 },  // 3
    {  9, 0x90,  27, 127 },  // 4
    {  9, 0x90,  28, 127 },  // 5
    {  9, 0x90,  29, 127 },  // 6
    {  9, 0x90,  30, 127 },  // 7
    {  9, 0x90,  31, 127 },  // 8
    {  9, 0x90,  16, 127 },  // 9
    {  9, 0x90,  17, 127 },  // 10
    {  9, 0x90,  18, 127 },  // 11
    {  9, 0x90,  19, 127 },  // 12
    {  9, 0x90,  20, 127 },  // 13
    {  9, 0x90,  21, 127 },  // 14
    {  9, 0x90,  22, 127 },  // 15
    {  9, 0x90,  23, 127 },  // 16
    {  9, 0x90,   8, 127 },  // 17
    {  9, 0x90,   9, 127 },  // 18
    {  9, 0x90,  10, 127 },  // 19
    {  9, 0x90,  11, 127 },  // 20
    {  9, 0x90,  12, 127 },  // 21
    {  9, 0x90,  13, 127 },  // 22
    {  9, 0x90,  14, 127 },  // 23
    {  9, 0x90,  15, 127 },  // 24
    {  9, 0x90,   0, 127 },  // 25
    {  9, 0x90,   1, 127 },  // 26
    {  9, 0x90,   2, 127 },  // 27
    {  9, 0x90,   3, 127 },  // 28
    {  9, 0x90,   4, 127 },  // 29
    {  9, 0x90,   5, 127 },  // 30
    {  9, 0x90,   6, 127 },  // 31
    {  9, 0x90,   7, 127 },  // 32
    {  9, 0x90,  84, 127 },  // 33
    {  9, 0x90,  74, 127 },  // 34
    {  9, 0x90,  75, 127 },  // 35
    {  9, 0x90,   0, 127 },  // 36
    {  9, 0x90,  47, 127 },  // 37
    {  9, 0x90,  46, 127 },  // 38
    {  9, 0x90,  49, 127 },  // 39
    {  9, 0x90,  48, 127 },  // 40
    {  9, 0x90,  91, 127 },  // 41
    {  9, 0x90,  92, 127 },  // 42
    {  9, 0x90,  93, 127 },  // 43
    {  9, 0x90,  94, 127 },  // 44
    {  9, 0x90,  86, 127 },  // 45
    {  9, 0x90,  95, 127 },  // 46
    {  9, 0x90, 100, 127 },  // 47
    {  9, 0x90, 100, 127 },  // 48
    {  9, 0x90,   0, 127 },  // 49
    {  9, 0x90,   0, 127 },  // 50
    {  9, 0x90,   0, 127 },  // 51
    {  9, 0x90,   0, 127 },  // 52
    {  9, 0x90,   0, 127 },  // 53
    {  9, 0x90,   0, 127 },  // 54
    {  9, 0x90,   0, 127 },  // 55
    {  9, 0x90,   0, 127 },  // 56
    {  9, 0x90,   0, 127 },  // 57
    {  9, 0x90,  32, 127 },  // 58
    {  9, 0x90,  33, 127 },  // 59
    {  9, 0x90,  34, 127 },  // 60
    {  9, 0x90,  35, 127 },  // 61
    {  9, 0x90,  36, 127 },  // 62
    {  9, 0x90,  37, 127 },  // 63
    {  9, 0x90,  38, 127 },  // 64
    {  9, 0x90,  39, 127 },  // 65
    {  9, 0x90, 101, 127 },  // 66
    {  9, 0x90,  96, 127 },  // 67
    {  9, 0x90,  97, 127 },  // 68
    {  9, 0x90,  98, 127 },  // 69
    {  9, 0x90,  99, 127 },  // 70
    { 11, 0xB0,  16,  64 },  // 71
    { 11, 0xB0,  17,  64 },  // 72
    { 11, 0xB0,  18,  64 },  // 73
    { 11, 0xB0,  19,  64 },  // 74
    { 11, 0xB0,  20,  64 },  // 75
    { 11, 0xB0,  21,  64 },  // 76
    { 11, 0xB0,  22,  64 },  // 77
    { 11, 0xB0,  23,  64 },  // 78
    { 11, 0xB0,  60,  64 },  // 79
    { 11, 0xB0,  60,  64 },  // 80
    {  9, 0x90, 104, 127 },  // 81
    {  9, 0x90, 105, 127 },  // 82
    {  9, 0x90, 106, 127 },  // 83
    {  9, 0x90, 107, 127 },  // 84
    {  9, 0x90, 108, 127 },  // 85
    {  9, 0x90, 109, 127 },  // 86
    {  9, 0x90, 110, 127 },  // 87
    {  9, 0x90, 111, 127 },  // 88
    {  9, 0x90, 112, 127 },  // 89
    { 14, 0xE0,   0,   0 },  // 90
    { 14, 0xE1,   0,   0 },  // 91
    { 14, 0xE2,   0,   0 },  // 92
    { 14, 0xE3,   0,   0 },  // 93
    { 14, 0xE4,   0,   0 },  // 94
    { 14, 0xE5,   0,   0 },  // 95
    { 14, 0xE6,   0,   0 },  // 96
    { 14, 0xE7,   0,   0 },  // 97
    { 14, 0xE8,   0,   0 },  // 98
    {  0, 0x00,   0,   0 },  // 99
};

const char nuendoNotes[128][40] =
{
    "REC.1", "REC.2", "REC.3", "REC.4", "REC.5", "REC.6", "REC.7", "REC.8",  // 0-7
    "SOLO.1", "SOLO.2", "SOLO.3", "SOLO.4", "SOLO.5", "SOLO.6", "SOLO.7", "SOLO.8",  // 8-15
    "MUTE.1", "MUTE.2", "MUTE.3", "MUTE.4", "MUTE.5", "MUTE.6", "MUTE.7", "MUTE.8",  // 16-23
    "SEL.1", "SEL.2", "SEL.3", "SEL.4", "SEL.5", "SEL.6", "SEL.7", "SEL.8",  // 24-31
    "Mon1", "Mon2", "Mon3", "Mon4", "Mon5", "Mon6", "Mon7", "Mon8",  // 32-39
    "Page<<", "Page>>", "Pan", "Ins", "EQ", "FX-Send", "<<8", "8>>",  // 40-47
    "1<", ">1", "Flip", "Edit", "Name/Value", "SMPTE/Beats", "F1", "F2",  // 48-55
    "F3", "F4", "F5", "F6", "F7", "F8", "", "",  // 56-63
    "", "", "", "", "", "", "Undo", "Redo",  // 64-71
    "Save", "", "Read", "Write", "", "", "Mixer", "Motor",  // 72-79
    "VSTi", "Master", "", "Shift", "Trnspt<", "Trnspt>", "Loop", "Punch",  // 80-87
    "Prev", "Add", "Next", "Rewind", "FastFwd", "Stop", "Play", "Record",  // 88-95
    "Up", "Down", "Left", "Right", "Zoom", "Scrub", "Usr B", "Usr A",  // 96-103
    "Touch.1", "Touch.2", "Touch.3", "Touch.4", "Touch.5", "Touch.6", "Touch.7", "Touch.8",  // 104-111
    "Touch.M", "SMPTE LED", "Beats LED", "", "", "", "", "",  // 112-119
    "", "", "", "", "", "", "", "",  // 120-127
};

// The user-defined Mackie Control mode names its notes as "mackie" does.
const char (&cbFuncs)[128][40] = nuendoNotes;

const char logicNotes[128][40] =
{
    "REC.1", "REC.2", "REC.3", "REC.4", "REC.5", "REC.6", "REC.7", "REC.8",  // 0-7
    "SOLO.1", "SOLO.2", "SOLO.3", "SOLO.4", "SOLO.5", "SOLO.6", "SOLO.7", "SOLO.8",  // 8-15
    "MUTE.1", "MUTE.2", "MUTE.3", "MUTE.4", "MUTE.5", "MUTE.6", "MUTE.7", "MUTE.8",  // 16-23
    "SEL.1", "SEL.2", "SEL.3", "SEL.4", "SEL.5", "SEL.6", "SEL.7", "SEL.8",  // 24-31
    "Mon1", "Mon2", "Mon3", "Mon4", "Mon5", "Mon6", "Mon7", "Mon8",  // 32-39
    "Track", "Send", " Pan/Surrnd", "Plug-in", "EQ", "Instrmt", "<<8", "8>>",  // 40-47
    "1<", ">1", "Flip", "", "Name/Value", "SMPTE/Beats", "F1", "F2",  // 48-55
    "F3", "F4", "F5", "F6", "F7", "F8", "", "",  // 56-63
    "", "", "", "", "", "", "Shift", "",  // 64-71
    "", "", "Read/Off", "Write", "Trim", "Touch", "Latch", "Group",  // 72-79
    "Save", "Undo", "Cancel", "Enter", "Marker", "Nudge", "Loop", "Drop",  // 80-87
    "Replace", "Click", "Solos", "Rewind", "FastFwd", "Stop", "Play", "Record",  // 88-95
    "Up", "Down", "Left", "Right", "Zoom", "Scrub", "User B", "User A",  // 96-103
    "Touch.1", "Touch.2", "Touch.3", "Touch.4", "Touch.5", "Touch.6", "Touch.7", "Touch.8",  // 104-111
    "Touch.M", "", "", "", "", "", "", "",  // 112-119
    "", "", "", "", "", "", "", "",  // 120-127
};

const char abletonLiveKnobs[8][40] =
{
    "Pan.1", "Pan.2", "Pan.3", "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8"
};

const int abletonLiveKnobValues[8] = { 16, 17, 18, 19, 20, 21, 22, 23 };

const char abletonLiveFader[16][40] =
{
    "Vol.1", "Vol.2", "Vol.3", "Vol.4", "Vol.5", "Vol.6", "Vol.7", "Vol.8",
    "Pan.1", "Pan.2", "Pan.3", "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8"
};

// Volumes ride on Pitch Bend, whose data byte is 0.
const int abletonLiveFaderValues[16] = { 0, 0, 0, 0, 0, 0, 0, 0, 16, 17, 18, 19, 20, 21, 22, 23 };

const char abletonLiveMasterFader[2][40] = { "Vol.M", "Tape Tspt" };

const int abletonLiveMasterFaderValues[2] = { 0, 60 };

// By list index: the jog state (0, 1), cursor left/right (2, 3), cursor up/down (4, 5).
const int abletonLiveJogWheelValues[6] = { 60, 60, 98, 99, 96, 97 };
