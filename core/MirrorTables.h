#pragma once

// Run-time copies of each mode's current assignment, indexed by record row
// (cb, lg, nd), by HUI control index (pt) or by slot / list position (the HUI
// pair tables). All start zero; refillMirrorTables() puts a mode's factory
// content back. Touched on the message thread only.

extern unsigned char cb[100][4];   // "mackie"
extern unsigned char lg[100][4];   // "logic"
extern unsigned char nd[100][4];   // "usrdef-mcp"

extern unsigned char pt[120][4];   // "pro-tools"

extern unsigned char HuiBnPairs[70][2];   // button pairs by HUI slot
extern unsigned char HuiKnPairs[8][2];    // by knob number (id - 65)
extern unsigned char HuiFdknPairs[9][2];  // by fader number (id - 77, master 8)
extern unsigned char HuiJogPairs[2][2];   // 0 left half (id 73), 1 right half (id 74)

// Rotation bytes: rows 0-7 the knobs (ids 65-72), row 8 the jog wheel.
extern unsigned char knobVelos[9][2];

// Record table by mode; both HUI modes read the "mackie" table.
extern unsigned char (*const arrForMoid[5])[4];

// Puts the factory content of a mode (0..4) into its mirror tables. Any
// Mackie Control mode refills all three record tables and knobVelos. Other
// mode values do nothing.
void refillMirrorTables (int mode);
