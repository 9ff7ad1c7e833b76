#include "core/FactoryTables.h"
#include "core/HuiTables.h"
#include "core/MirrorSnapshot.h"
#include "core/MirrorTables.h"
#include "core/ProToolsTables.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
    // Every test starts with each mirror table full of a marker byte that no
    // factory entry holds, and leaves them as it found them.
    class MirrorTables : public ::testing::Test
    {
    protected:
        void SetUp() override      { scribble(); }
        void TearDown() override   { saved.restore(); }

        static void scribble()
        {
            for (auto [table, size] : MirrorSnapshot::tables())
                std::memset (table, marker, size);
        }

        static bool allMarker (const void* table, size_t size)
        {
            const auto* bytes = static_cast<const unsigned char*> (table);
            return std::all_of (bytes, bytes + size, [] (unsigned char b) { return b == marker; });
        }

        static constexpr unsigned char marker = 0xA5;

    private:
        const MirrorSnapshot saved;
    };
}

TEST_F (MirrorTables, ModesReadTheirRecordTables)
{
    EXPECT_EQ (arrForMoid[0], cb);
    EXPECT_EQ (arrForMoid[1], lg);
    EXPECT_EQ (arrForMoid[2], cb);
    EXPECT_EQ (arrForMoid[3], nd);
    EXPECT_EQ (arrForMoid[4], cb);
}

TEST_F (MirrorTables, AnyMackieControlModeRefillsAllThreeRecordTablesButTheLastRow)
{
    for (int mode : { 0, 1, 3 })
    {
        scribble();
        refillMirrorTables (mode);

        for (auto* table : { &cb, &lg, &nd })
        {
            EXPECT_EQ (std::memcmp (*table, cbBnAttrs0, 99 * 4), 0) << "mode " << mode;
            EXPECT_TRUE (allMarker ((*table)[99], 4)) << "mode " << mode;
        }

        for (int i = 0; i < 9; ++i)
        {
            EXPECT_EQ (knobVelos[i][0], 64);
            EXPECT_EQ (knobVelos[i][1], 127);
        }

        // The HUI tables belong to other modes.
        EXPECT_TRUE (allMarker (pt, sizeof (pt)));
        EXPECT_TRUE (allMarker (HuiBnPairs, sizeof (HuiBnPairs)));
        EXPECT_TRUE (allMarker (HuiJogPairs, sizeof (HuiJogPairs)));
    }
}

TEST_F (MirrorTables, ProToolsRefillsItsRecordsButTheSpare)
{
    refillMirrorTables (2);

    EXPECT_EQ (std::memcmp (pt, protoolsMapping0, sizeof (pt[0]) * 119), 0);
    EXPECT_TRUE (allMarker (pt[119], 4));

    EXPECT_TRUE (allMarker (cb, sizeof (cb)));
    EXPECT_TRUE (allMarker (knobVelos, sizeof (knobVelos)));
    EXPECT_TRUE (allMarker (HuiBnPairs, sizeof (HuiBnPairs)));
}

TEST_F (MirrorTables, UsrdefHuiFillsThePairTablesThroughTheIndexTables)
{
    refillMirrorTables (4);

    for (int slot = 0; slot < 70; ++slot)
    {
        const auto p = HuiBtnMappIndex[slot];
        EXPECT_EQ (HuiBnPairs[slot][0], HuiBnVaPairs0[p][0]) << "slot " << slot;
        EXPECT_EQ (HuiBnPairs[slot][1], HuiBnVaPairs0[p][1]) << "slot " << slot;
    }

    for (int n = 0; n < 9; ++n)
    {
        EXPECT_EQ (HuiFdknPairs[n][0], 32);
        EXPECT_EQ (HuiFdknPairs[n][1], n);

        if (n < 8)
        {
            EXPECT_EQ (HuiKnPairs[n][0], 64);
            EXPECT_EQ (HuiKnPairs[n][1], n);
        }
    }

    const unsigned char jog[2][2] = { { 13, 0 }, { 13, 64 } };
    EXPECT_EQ (std::memcmp (HuiJogPairs, jog, sizeof (jog)), 0);

    EXPECT_TRUE (allMarker (cb, sizeof (cb)));
    EXPECT_TRUE (allMarker (pt, sizeof (pt)));
}

TEST_F (MirrorTables, UnknownModeChangesNothing)
{
    const MirrorSnapshot before;

    for (int mode : { -1, 5, 100 })
        refillMirrorTables (mode);

    EXPECT_TRUE (MirrorSnapshot() == before);
}
