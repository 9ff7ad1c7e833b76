#include "core/ProToolsTables.h"

// HUI record: channel (or 0x0F for a switch), zone, 0x40 | port, port.
// Indexes 0-8 are the volumes, 9-16 the pans, 17 the jog wheel, 19-118 the
// switches; 119 is a spare all-zero record.
const unsigned char protoolsMapping0[120][4] =
{
    { 0x00, 0x00, 0x20, 0 },  // 0 Vol.1
    { 0x01, 0x00, 0x21, 0 },  // 1 Vol.2
    { 0x02, 0x00, 0x22, 0 },  // 2 Vol.3
    { 0x03, 0x00, 0x23, 0 },  // 3 Vol.4
    { 0x04, 0x00, 0x24, 0 },  // 4 Vol.5
    { 0x05, 0x00, 0x25, 0 },  // 5 Vol.6
    { 0x06, 0x00, 0x26, 0 },  // 6 Vol.7
    { 0x07, 0x00, 0x27, 0 },  // 7 Vol.8
    { 0x08, 0x00, 0x28, 0 },  // 8 Vol.M?
    { 0x40, 0x40, 0x00, 0 },  // 9 Pan.1
    { 0x41, 0x40, 0x00, 0 },  // 10 Pan.2
    { 0x42, 0x40, 0x00, 0 },  // 11 Pan.3
    { 0x43, 0x40, 0x00, 0 },  // 12 Pan.4
    { 0x44, 0x40, 0x00, 0 },  // 13 Pan.5
    { 0x45, 0x40, 0x00, 0 },  // 14 Pan.6
    { 0x46, 0x40, 0x00, 0 },  // 15 Pan.7
    { 0x47, 0x40, 0x00, 0 },  // 16 Pan.8
    { 0x0D, 0x40, 0x00, 0 },  // 17 Tape Tspt?
    { 0x0F, 0x1F, 0x40, 0 },  // 18 (unnamed)
    { 0x0F, 0x00, 0x47, 7 },  // 19 REC.1
    { 0x0F, 0x01, 0x47, 7 },  // 20 REC.2
    { 0x0F, 0x02, 0x47, 7 },  // 21 REC.3
    { 0x0F, 0x03, 0x47, 7 },  // 22 REC.4
    { 0x0F, 0x04, 0x47, 7 },  // 23 REC.5
    { 0x0F, 0x05, 0x47, 7 },  // 24 REC.6
    { 0x0F, 0x06, 0x47, 7 },  // 25 REC.7
    { 0x0F, 0x07, 0x47, 7 },  // 26 REC.8
    { 0x0F, 0x00, 0x43, 3 },  // 27 SOLO.1
    { 0x0F, 0x01, 0x43, 3 },  // 28 SOLO.2
    { 0x0F, 0x02, 0x43, 3 },  // 29 SOLO.3
    { 0x0F, 0x03, 0x43, 3 },  // 30 SOLO.4
    { 0x0F, 0x04, 0x43, 3 },  // 31 SOLO.5
    { 0x0F, 0x05, 0x43, 3 },  // 32 SOLO.6
    { 0x0F, 0x06, 0x43, 3 },  // 33 SOLO.7
    { 0x0F, 0x07, 0x43, 3 },  // 34 SOLO.8
    { 0x0F, 0x00, 0x42, 2 },  // 35 MUTE.1
    { 0x0F, 0x01, 0x42, 2 },  // 36 MUTE.2
    { 0x0F, 0x02, 0x42, 2 },  // 37 MUTE.3
    { 0x0F, 0x03, 0x42, 2 },  // 38 MUTE.4
    { 0x0F, 0x04, 0x42, 2 },  // 39 MUTE.5
    { 0x0F, 0x05, 0x42, 2 },  // 40 MUTE.6
    { 0x0F, 0x06, 0x42, 2 },  // 41 MUTE.7
    { 0x0F, 0x07, 0x42, 2 },  // 42 MUTE.8
    { 0x0F, 0x00, 0x46, 6 },  // 43 SEL.1
    { 0x0F, 0x01, 0x46, 6 },  // 44 SEL.2
    { 0x0F, 0x02, 0x46, 6 },  // 45 SEL.3
    { 0x0F, 0x03, 0x46, 6 },  // 46 SEL.4
    { 0x0F, 0x04, 0x46, 6 },  // 47 SEL.5
    { 0x0F, 0x05, 0x46, 6 },  // 48 SEL.6
    { 0x0F, 0x06, 0x46, 6 },  // 49 SEL.7
    { 0x0F, 0x07, 0x46, 6 },  // 50 SEL.8
    { 0x0F, 0x00, 0x45, 5 },  // 51 Mon1
    { 0x0F, 0x01, 0x45, 5 },  // 52 Mon2
    { 0x0F, 0x02, 0x45, 5 },  // 53 Mon3
    { 0x0F, 0x03, 0x45, 5 },  // 54 Mon4
    { 0x0F, 0x04, 0x45, 5 },  // 55 Mon5
    { 0x0F, 0x05, 0x45, 5 },  // 56 Mon6
    { 0x0F, 0x06, 0x45, 5 },  // 57 Mon7
    { 0x0F, 0x07, 0x45, 5 },  // 58 Mon8
    { 0x0F, 0x00, 0x40, 0 },  // 59 Touch.1
    { 0x0F, 0x01, 0x40, 0 },  // 60 Touch.2
    { 0x0F, 0x02, 0x40, 0 },  // 61 Touch.3
    { 0x0F, 0x03, 0x40, 0 },  // 62 Touch.4
    { 0x0F, 0x04, 0x40, 0 },  // 63 Touch.5
    { 0x0F, 0x05, 0x40, 0 },  // 64 Touch.6
    { 0x0F, 0x06, 0x40, 0 },  // 65 Touch.7
    { 0x0F, 0x07, 0x40, 0 },  // 66 Touch.8
    { 0x0F, 0x08, 0x40, 0 },  // 67 Ctrl
    { 0x0F, 0x08, 0x41, 1 },  // 68 Shift
    { 0x0F, 0x08, 0x42, 2 },  // 69 Alt
    { 0x0F, 0x08, 0x43, 3 },  // 70 Undo
    { 0x0F, 0x08, 0x44, 4 },  // 71 Cmd
    { 0x0F, 0x08, 0x45, 5 },  // 72 Option
    { 0x0F, 0x08, 0x47, 7 },  // 73 Save
    { 0x0F, 0x09, 0x40, 0 },  // 74 Mix?
    { 0x0F, 0x09, 0x41, 1 },  // 75 Edit
    { 0x0F, 0x09, 0x42, 2 },  // 76 Transpt
    { 0x0F, 0x09, 0x43, 3 },  // 77 MemLock
    { 0x0F, 0x0B, 0x47, 7 },  // 78 Send A
    { 0x0F, 0x0B, 0x46, 6 },  // 79 Send B
    { 0x0F, 0x0B, 0x45, 5 },  // 80 Send C
    { 0x0F, 0x0B, 0x44, 4 },  // 81 Send D
    { 0x0F, 0x0B, 0x43, 3 },  // 82 Send E
    { 0x0F, 0x0B, 0x42, 2 },  // 83 Pan
    { 0x0F, 0x0B, 0x41, 1 },  // 84 Input
    { 0x0F, 0x0B, 0x40, 0 },  // 85 Output
    { 0x0F, 0x0D, 0x40, 0 },  // 86 Down?
    { 0x0F, 0x0D, 0x41, 1 },  // 87 Left?
    { 0x0F, 0x0D, 0x42, 2 },  // 88 Zoom?
    { 0x0F, 0x0D, 0x43, 3 },  // 89 Right?
    { 0x0F, 0x0D, 0x44, 4 },  // 90 Up?
    { 0x0F, 0x0D, 0x45, 5 },  // 91 Scrub?
    { 0x0F, 0x0E, 0x41, 1 },  // 92 Rewind
    { 0x0F, 0x0E, 0x42, 2 },  // 93 FastFwd
    { 0x0F, 0x0E, 0x43, 3 },  // 94 Stop
    { 0x0F, 0x0E, 0x44, 4 },  // 95 Play
    { 0x0F, 0x0E, 0x45, 5 },  // 96 Record
    { 0x0F, 0x0F, 0x43, 3 },  // 97 Loop
    { 0x0F, 0x0F, 0x44, 4 },  // 98 Punch
    { 0x0F, 0x10, 0x42, 2 },  // 99 IN
    { 0x0F, 0x10, 0x43, 3 },  // 100 OUT
    { 0x0F, 0x0C, 0x43, 3 },  // 101 Flip
    { 0x0F, 0x0A, 0x40, 0 },  // 102 1<
    { 0x0F, 0x0A, 0x41, 1 },  // 103 <<8
    { 0x0F, 0x0A, 0x42, 2 },  // 104 >1
    { 0x0F, 0x0A, 0x43, 3 },  // 105 8>>
    { 0x0F, 0x14, 0x40, 0 },  // 106 Enter
    { 0x0F, 0x0C, 0x42, 2 },  // 107 Suspend
    { 0x0F, 0x18, 0x41, 1 },  // 108 ?Latch
    { 0x0F, 0x18, 0x42, 2 },  // 109 ?Read
    { 0x0F, 0x18, 0x43, 3 },  // 110 ?Off
    { 0x0F, 0x18, 0x44, 4 },  // 111 ?Write
    { 0x0F, 0x18, 0x45, 5 },  // 112 ?Touch
    { 0x0F, 0x18, 0x47, 7 },  // 113 ?Trim
    { 0x0F, 0x0C, 0x40, 0 },  // 114 Assign
    { 0x0F, 0x1B, 0x47, 7 },  // 115 Cancel
    { 0x0F, 0x1C, 0x41, 1 },  // 116 Plugin Assign
    { 0x0F, 0x1C, 0x47, 7 },  // 117 Compare
    { 0x0F, 0x1C, 0x46, 6 },  // 118 Bypass
    { 0x00, 0x00, 0x00, 0 },  // 119 (none)
};

const char protoolsControlNames[119][40] =
{
    "Vol.1", "Vol.2", "Vol.3", "Vol.4", "Vol.5", "Vol.6",  // 0-5
    "Vol.7", "Vol.8", "Vol.M?", "Pan.1", "Pan.2", "Pan.3",  // 6-11
    "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8", "Tape Tspt?",  // 12-17
    "", "REC.1", "REC.2", "REC.3", "REC.4", "REC.5",  // 18-23
    "REC.6", "REC.7", "REC.8", "SOLO.1", "SOLO.2", "SOLO.3",  // 24-29
    "SOLO.4", "SOLO.5", "SOLO.6", "SOLO.7", "SOLO.8", "MUTE.1",  // 30-35
    "MUTE.2", "MUTE.3", "MUTE.4", "MUTE.5", "MUTE.6", "MUTE.7",  // 36-41
    "MUTE.8", "SEL.1", "SEL.2", "SEL.3", "SEL.4", "SEL.5",  // 42-47
    "SEL.6", "SEL.7", "SEL.8", "Mon1", "Mon2", "Mon3",  // 48-53
    "Mon4", "Mon5", "Mon6", "Mon7", "Mon8", "Touch.1",  // 54-59
    "Touch.2", "Touch.3", "Touch.4", "Touch.5", "Touch.6", "Touch.7",  // 60-65
    "Touch.8", "Ctrl", "Shift", "Alt", "Undo", "Cmd",  // 66-71
    "Option", "Save", "Mix?", "Edit", "Transpt", "MemLock",  // 72-77
    "Send A", "Send B", "Send C", "Send D", "Send E", "Pan",  // 78-83
    "Input", "Output", "Down?", "Left?", "Zoom?", "Right?",  // 84-89
    "Up?", "Scrub?", "Rewind", "FastFwd", "Stop", "Play",  // 90-95
    "Record", "Loop", "Punch", "IN", "OUT", "Flip",  // 96-101
    "1<", "<<8", ">1", "8>>", "Enter", "Suspend",  // 102-107
    "?Latch", "?Read", "?Off", "?Write", "?Touch", "?Trim",  // 108-113
    "Assign", "Cancel", "Plugin Assign", "Compare", "Bypass",  // 114-118
};

const int protoolsButtonIndexes[101] =
{
    18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
    28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
    38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
    58, 59, 60, 61, 62, 63, 64, 65, 66, 67,
    68, 69, 70, 71, 72, 73, 74, 75, 76, 77,
    78, 79, 80, 81, 82, 83, 84, 85, 86, 87,
    88, 89, 90, 91, 92, 93, 94, 95, 96, 97,
    98, 99, 100, 101, 102, 103, 104, 105, 106, 107,
    108, 109, 110, 111, 112, 113, 114, 115, 116, 117,
    118,
};

const int protoolsKnobIndexes[8] = { 9, 10, 11, 12, 13, 14, 15, 16 };

// Volumes of the strips, then their pans.
const int protoolsFaderIndexes[16] = { 0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16 };

const int protoolsMasterFaderIndexes[2] = { 8, 17 };

const int protoolsJogIndexesWhenZmN[1] = { 17 };

// Cursor left, right, up, down.
const int protoolsJogIndexesWhenZmLR[4] = { 87, 89, 90, 86 };

// Buttons with list index 40 to 63; every later button defaults to 0.
const int protoolsButtonDefaults[24] =
{
    59, 60, 61, 62, 63, 64, 65, 66,
    18, 111, 109, 74, 18, 102, 104, 103,
    105, 92, 93, 95, 94, 96, 97, 91
};
