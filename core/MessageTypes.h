#pragma once

// Protocol labels, indexed by the protocol flag (0 Mackie Control, 1 HUI).
extern const char PtclName[2][4];

// Labels of the editor's message-type list, indexed like typOfSele.
extern const char msgTypes[4][20];

// Labels of a knob's rotation pattern: [0] for velocity 64, [1] for any other.
extern const char velos[2][23];

// MIDI status nibble of each entry of the message-type list; 0 stands for "null".
extern const int typOfSele[4];
