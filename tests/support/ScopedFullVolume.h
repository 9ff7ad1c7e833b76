#pragma once

#include <juce_core/juce_core.h>

// Fills the volume that holds a folder with a filler file until only about
// `roomLeft` bytes are free (rounded down to the volume's blocks), and
// removes the filler when it goes. Meant for the small throw-away tmpfs of
// tests/support/with-private-var.sh: it refuses any volume with more than
// 64 MB free, so that it never fills a real disk.
class ScopedFullVolume
{
public:
    ScopedFullVolume (const juce::File& folder, juce::int64 roomLeft);
    ~ScopedFullVolume();

    // Whether the volume was small enough and is now filled.
    bool isFull() const { return full; }

private:
    juce::File filler;
    bool full = false;

    JUCE_DECLARE_NON_COPYABLE (ScopedFullVolume)
};
