#include "core/MirrorSnapshot.h"

#include "core/MirrorTables.h"

#include <cstring>

const std::array<MirrorSnapshot::Table, 9>& MirrorSnapshot::tables()
{
    static const std::array<Table, 9> list { {
        { cb, sizeof (cb) }, { lg, sizeof (lg) }, { nd, sizeof (nd) }, { pt, sizeof (pt) },
        { HuiBnPairs, sizeof (HuiBnPairs) }, { HuiKnPairs, sizeof (HuiKnPairs) },
        { HuiFdknPairs, sizeof (HuiFdknPairs) }, { HuiJogPairs, sizeof (HuiJogPairs) },
        { knobVelos, sizeof (knobVelos) }
    } };

    return list;
}

MirrorSnapshot::MirrorSnapshot()
{
    for (const auto& table : tables())
        bytes.append (table.data, table.size);
}

void MirrorSnapshot::restore() const
{
    size_t offset = 0;

    for (const auto& table : tables())
    {
        std::memcpy (table.data, static_cast<const char*> (bytes.getData()) + offset, table.size);
        offset += table.size;
    }
}
