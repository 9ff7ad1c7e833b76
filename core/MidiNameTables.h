#pragma once

// Names of the 128 data-byte values per message type, as the editor lists them.

extern const char NOTE[128][40];
extern const char CC[128][40];

// Starts all zero; the application fills it at start-up.
extern char PITCH[128][40];

// By message-type list index: note, controller, pitch bend.
extern const char (*const NCP[3])[40];
