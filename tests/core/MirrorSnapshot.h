#pragma once

#include "core/MirrorTables.h"

#include <juce_core/juce_core.h>

#include <cstring>
#include <utility>
#include <vector>

// Every mirror table at one moment, to prove that something left them alone
// or to put them back.
struct MirrorSnapshot
{
    static std::vector<std::pair<void*, size_t>> tables()
    {
        return { { cb, sizeof (cb) }, { lg, sizeof (lg) }, { nd, sizeof (nd) }, { pt, sizeof (pt) },
                 { HuiBnPairs, sizeof (HuiBnPairs) }, { HuiKnPairs, sizeof (HuiKnPairs) },
                 { HuiFdknPairs, sizeof (HuiFdknPairs) }, { HuiJogPairs, sizeof (HuiJogPairs) },
                 { knobVelos, sizeof (knobVelos) } };
    }

    MirrorSnapshot()
    {
        for (auto [table, size] : tables())
            bytes.append (table, size);
    }

    void restore() const
    {
        size_t offset = 0;

        for (auto [table, size] : tables())
        {
            std::memcpy (table, bytes.begin() + offset, size);
            offset += size;
        }
    }

    bool operator== (const MirrorSnapshot& other) const   { return bytes == other.bytes; }

    juce::MemoryBlock bytes;
};
