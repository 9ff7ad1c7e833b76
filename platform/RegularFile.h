#pragma once

#include <juce_core/juce_core.h>

// Whether a path names an ordinary file, symbolic links followed. JUCE's
// existsAsFile() is true for anything that is not a folder: opening a FIFO
// for reading blocks until some writer comes, and a device may never end, so
// a file the program reads whole or replaces must be checked with this first.
class RegularFile
{
public:
    static bool exists (const juce::File& file);
};
