#include "core/MirrorTables.h"

#include "core/FactoryTables.h"
#include "core/HuiTables.h"
#include "core/ProToolsTables.h"

#include <cstring>

unsigned char cb[100][4] = {};
unsigned char lg[100][4] = {};
unsigned char nd[100][4] = {};

unsigned char pt[120][4] = {};

unsigned char HuiBnPairs[70][2] = {};
unsigned char HuiKnPairs[8][2] = {};
unsigned char HuiFdknPairs[9][2] = {};
unsigned char HuiJogPairs[2][2] = {};

unsigned char knobVelos[9][2] = {};

unsigned char (*const arrForMoid[5])[4] = { cb, lg, cb, nd, cb };

namespace
{
    // Row 99 lies outside what the refill restores: it belongs to no control
    // and is never sent, so whatever it holds is left alone.
    constexpr int refilledRecordRows = 99;

    // The spare HUI record 119 is likewise left as it is.
    constexpr int refilledHuiRecords = 119;

    template <typename Pair, size_t numPairs, typename FactoryPair, size_t numFactory, size_t numIndexes>
    void fillPairs (Pair (&target)[numPairs], const FactoryPair (&factory)[numFactory], const int (&indexes)[numIndexes])
    {
        static_assert (numIndexes >= numPairs, "every pair needs an index");

        for (size_t i = 0; i < numPairs; ++i)
        {
            const auto index = indexes[i];

            // The index tables are constant and in range; a stray entry must
            // still not read past the factory list.
            if (index >= 0 && (size_t) index < numFactory)
                std::memcpy (target[i], factory[index], sizeof (target[i]));
        }
    }

    void refillMackieControlTables()
    {
        for (auto& velos : knobVelos)
        {
            velos[0] = 64;
            velos[1] = 127;
        }

        // All three Mackie Control modes share one factory table, and a reset
        // of any of them restores all three.
        const auto bytes = sizeof (cbBnAttrs0[0]) * refilledRecordRows;
        std::memcpy (cb, cbBnAttrs0, bytes);
        std::memcpy (lg, cbBnAttrs0, bytes);
        std::memcpy (nd, cbBnAttrs0, bytes);
    }

    void refillProToolsTable()
    {
        std::memcpy (pt, protoolsMapping0, sizeof (protoolsMapping0[0]) * refilledHuiRecords);
    }

    void refillHuiPairTables()
    {
        fillPairs (HuiBnPairs, HuiBnVaPairs0, HuiBtnMappIndex);
        fillPairs (HuiFdknPairs, HuiFdknVaPairs0, HuiFadMappIndex);
        fillPairs (HuiKnPairs, HuiKnVaPairs0, HuiKnoMappIndex);
        fillPairs (HuiJogPairs, HuiJogVaPairs0, HuiJogMappIndex);
    }
}

void refillMirrorTables (int mode)
{
    switch (mode)
    {
        case 0:  // mackie
        case 1:  // logic
        case 3:  // usrdef-mcp
            refillMackieControlTables();
            break;

        case 2:  // pro-tools
            refillProToolsTable();
            break;

        case 4:  // usrdef-hui
            refillHuiPairTables();
            break;

        default:
            break;
    }
}
