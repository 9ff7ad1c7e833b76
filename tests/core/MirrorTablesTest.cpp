#include "core/FactoryTables.h"
#include "core/HuiTables.h"
#include "core/MirrorTables.h"
#include "core/ProToolsTables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
    // Snapshot of every mirror table, so that each test leaves them as it found them.
    struct MirrorSnapshot
    {
        unsigned char cbCopy[100][4], lgCopy[100][4], ndCopy[100][4], ptCopy[120][4];
        unsigned char bn[70][2], kn[8][2], fd[9][2], jog[2][2], velos[9][2];

        void take()
        {
            std::memcpy (cbCopy, cb, sizeof (cb));
            std::memcpy (lgCopy, lg, sizeof (lg));
            std::memcpy (ndCopy, nd, sizeof (nd));
            std::memcpy (ptCopy, pt, sizeof (pt));
            std::memcpy (bn, HuiBnPairs, sizeof (bn));
            std::memcpy (kn, HuiKnPairs, sizeof (kn));
            std::memcpy (fd, HuiFdknPairs, sizeof (fd));
            std::memcpy (jog, HuiJogPairs, sizeof (jog));
            std::memcpy (velos, knobVelos, sizeof (velos));
        }

        void restore() const
        {
            std::memcpy (cb, cbCopy, sizeof (cb));
            std::memcpy (lg, lgCopy, sizeof (lg));
            std::memcpy (nd, ndCopy, sizeof (nd));
            std::memcpy (pt, ptCopy, sizeof (pt));
            std::memcpy (HuiBnPairs, bn, sizeof (bn));
            std::memcpy (HuiKnPairs, kn, sizeof (kn));
            std::memcpy (HuiFdknPairs, fd, sizeof (fd));
            std::memcpy (HuiJogPairs, jog, sizeof (jog));
            std::memcpy (knobVelos, velos, sizeof (velos));
        }

        bool operator== (const MirrorSnapshot& other) const { return std::memcmp (this, &other, sizeof (*this)) == 0; }
    };

    class MirrorTables : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            saved.take();
            scribble();
        }

        void TearDown() override { saved.restore(); }

        // Fills every mirror table with a marker byte that no factory entry holds.
        static void scribble()
        {
            std::memset (cb, marker, sizeof (cb));
            std::memset (lg, marker, sizeof (lg));
            std::memset (nd, marker, sizeof (nd));
            std::memset (pt, marker, sizeof (pt));
            std::memset (HuiBnPairs, marker, sizeof (HuiBnPairs));
            std::memset (HuiKnPairs, marker, sizeof (HuiKnPairs));
            std::memset (HuiFdknPairs, marker, sizeof (HuiFdknPairs));
            std::memset (HuiJogPairs, marker, sizeof (HuiJogPairs));
            std::memset (knobVelos, marker, sizeof (knobVelos));
        }

        static bool recordIs (const unsigned char (&table)[100][4], int row, const unsigned char* expected)
        {
            return std::memcmp (table[row], expected, 4) == 0;
        }

        static bool allMarker (const void* table, size_t size)
        {
            const auto* bytes = static_cast<const unsigned char*> (table);

            for (size_t i = 0; i < size; ++i)
                if (bytes[i] != marker)
                    return false;

            return true;
        }

        static constexpr unsigned char marker = 0xA5;

    private:
        MirrorSnapshot saved;
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

        for (int row = 0; row < 99; ++row)
        {
            EXPECT_TRUE (recordIs (cb, row, cbBnAttrs0[row])) << "mode " << mode << " row " << row;
            EXPECT_TRUE (recordIs (lg, row, cbBnAttrs0[row])) << "mode " << mode << " row " << row;
            EXPECT_TRUE (recordIs (nd, row, cbBnAttrs0[row])) << "mode " << mode << " row " << row;
        }

        EXPECT_TRUE (allMarker (cb[99], 4));
        EXPECT_TRUE (allMarker (lg[99], 4));
        EXPECT_TRUE (allMarker (nd[99], 4));

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

    const unsigned char row33[4] = { 9, 0x90, 84, 127 };
    const unsigned char row80[4] = { 11, 0xB0, 60, 64 };
    const unsigned char row98[4] = { 14, 0xE8, 0, 0 };

    for (auto* table : { &cb, &lg, &nd })
    {
        EXPECT_TRUE (recordIs (*table, 33, row33));
        EXPECT_TRUE (recordIs (*table, 80, row80));
        EXPECT_TRUE (recordIs (*table, 98, row98));
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

    // Every button finds its factory pair at its HUI slot.
    EXPECT_EQ (HuiBnPairs[cid2BnAidHui[1]][0], 0);
    EXPECT_EQ (HuiBnPairs[cid2BnAidHui[1]][1], 0x47);
    EXPECT_EQ (HuiBnPairs[cid2BnAidHui[57]][0], 29);
    EXPECT_EQ (HuiBnPairs[cid2BnAidHui[88]][0], 13);   // "Up"
    EXPECT_EQ (HuiBnPairs[cid2BnAidHui[88]][1], 0x40);

    for (int n = 0; n < 8; ++n)
    {
        EXPECT_EQ (HuiKnPairs[n][0], 64);
        EXPECT_EQ (HuiKnPairs[n][1], n);
    }

    for (int n = 0; n < 9; ++n)
    {
        EXPECT_EQ (HuiFdknPairs[n][0], 32);
        EXPECT_EQ (HuiFdknPairs[n][1], n);
    }

    EXPECT_EQ (HuiJogPairs[0][0], 13);
    EXPECT_EQ (HuiJogPairs[0][1], 0);
    EXPECT_EQ (HuiJogPairs[1][0], 13);
    EXPECT_EQ (HuiJogPairs[1][1], 64);

    EXPECT_TRUE (allMarker (cb, sizeof (cb)));
    EXPECT_TRUE (allMarker (pt, sizeof (pt)));
}

TEST_F (MirrorTables, UnknownModeChangesNothing)
{
    MirrorSnapshot before;
    before.take();

    for (int mode : { -1, 5, 100 })
        refillMirrorTables (mode);

    MirrorSnapshot after;
    after.take();
    EXPECT_TRUE (before == after);
}
