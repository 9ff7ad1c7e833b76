#include "core/ScopedMirrorTables.h"

#include "core/MirrorTables.h"

#include <cstring>

namespace
{
    struct Table
    {
        void* data;
        size_t size;
    };

    const Table tables[] = {
        { cb, sizeof (cb) }, { lg, sizeof (lg) }, { nd, sizeof (nd) }, { pt, sizeof (pt) },
        { HuiBnPairs, sizeof (HuiBnPairs) }, { HuiKnPairs, sizeof (HuiKnPairs) },
        { HuiFdknPairs, sizeof (HuiFdknPairs) }, { HuiJogPairs, sizeof (HuiJogPairs) },
        { knobVelos, sizeof (knobVelos) }
    };
}

ScopedMirrorTables::ScopedMirrorTables()
{
    for (const auto& table : tables)
        saved.append (table.data, table.size);
}

ScopedMirrorTables::~ScopedMirrorTables()
{
    size_t offset = 0;

    for (const auto& table : tables)
    {
        std::memcpy (table.data, static_cast<const char*> (saved.getData()) + offset, table.size);
        offset += table.size;
    }
}
