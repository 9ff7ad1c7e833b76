#pragma once

// The value a jog-half button gives the control it stands for in a mode:
// cid is 73 or 74 while the wheel turns as a jog wheel, or a cursor target
// (86 to 89) in the cursor states. The editor's jog-wheel handling and the
// control panel, which primes the halves when it binds them, both take it
// from here.
int jogHalfValue (int mode, int cid);
