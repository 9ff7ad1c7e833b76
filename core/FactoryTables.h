#pragma once

// Constant tables of the three Mackie Control modes: the factory record of
// every record row, the function names of the buttons by note number, and the
// short lists the editor offers for knobs, faders, the master fader and the
// jog wheel.

// Factory record (status nibble, status byte, data byte, velocity) of every
// record row, shared by "mackie", "logic" and "usrdef-mcp".
extern const unsigned char cbBnAttrs0[100][4];

// Function names by note number: "mackie", "usrdef-mcp" and "logic".
extern const char nuendoNotes[128][40];
extern const char (&cbFuncs)[128][40];   // the same names as nuendoNotes
extern const char logicNotes[128][40];

extern const char abletonLiveKnobs[8][40];
extern const int abletonLiveKnobValues[8];

extern const char abletonLiveFader[16][40];
extern const int abletonLiveFaderValues[16];

extern const char abletonLiveMasterFader[2][40];
extern const int abletonLiveMasterFaderValues[2];

// Indexed by the jog wheel's list index.
extern const int abletonLiveJogWheelValues[6];
