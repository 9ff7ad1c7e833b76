#pragma once

// Joins `first` and the further texts given after it, up to a null pointer.
// Returns `first` itself when there is nothing to join or memory is short;
// otherwise a buffer from malloc that the caller releases with free.
char* strcat_0 (const char* first, ...);
