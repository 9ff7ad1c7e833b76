#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cstddef>

// Every mirror table at one moment: to put them all back later, or to prove
// that something left them alone. tables() is the one list of them.
class MirrorSnapshot
{
public:
    struct Table
    {
        void* data;
        size_t size;
    };

    static const std::array<Table, 9>& tables();

    MirrorSnapshot();

    void restore() const;

    bool operator== (const MirrorSnapshot& other) const   { return bytes == other.bytes; }

private:
    juce::MemoryBlock bytes;
};
