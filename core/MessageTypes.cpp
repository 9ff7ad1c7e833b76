#include "core/MessageTypes.h"

const char PtclName[2][4] { "MCP", "HUI" };

const char msgTypes[4][20] { "Note", "CC", "Pitch Bend", "null" };

const char velos[2][23] { "Incremental", "Numerical" };

const int typOfSele[4] { 9, 11, 14, 0 };
