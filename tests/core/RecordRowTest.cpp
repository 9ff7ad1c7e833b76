#include "core/RecordRow.h"
#include "core/SharedFlags.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
    class RecordRow : public ::testing::Test
    {
    protected:
        void SetUp() override    { savedState = isZoomNorLR; isZoomNorLR = 0; }
        void TearDown() override { isZoomNorLR = savedState; }

        // The documented record row of every id 0..89 in jog state 0.
        static int documentedRowInJogState (int cid)
        {
            if (cid == 0)                return 1;
            if (cid >= 1 && cid <= 8)    return cid + 24;
            if (cid >= 9 && cid <= 16)   return cid + 8;
            if (cid >= 17 && cid <= 24)  return cid - 8;
            if (cid >= 25 && cid <= 32)  return cid - 24;
            if (cid >= 33 && cid <= 40)  return cid + 25;
            if (cid >= 41 && cid <= 48)  return cid + 40;
            if (cid >= 65 && cid <= 72)  return cid + 6;
            if (cid >= 77 && cid <= 85)  return cid + 13;

            switch (cid)
            {
                case 49: return 36;  case 50: return 35;  case 51: return 34;  case 52: return 33;
                case 53: return 89;  case 54: return 40;  case 55: return 39;  case 56: return 38;
                case 57: return 37;  case 58: return 41;  case 59: return 42;  case 60: return 44;
                case 61: return 43;  case 62: return 46;  case 63: return 45;  case 64: return 66;
                case 73: return 80;  case 74: return 79;  case 75: return 47;  case 76: return 48;
                case 86: return 69;  case 87: return 70;  case 88: return 67;  case 89: return 68;
                default: return -1;
            }
        }

    private:
        int savedState = 0;
    };
}

TEST_F (RecordRow, EveryIdHasItsDocumentedRowInTheJogState)
{
    for (int cid = 0; cid <= 89; ++cid)
        EXPECT_EQ (rowForCid (cid), documentedRowInJogState (cid)) << "id " << cid;
}

TEST_F (RecordRow, ControlsOccupyDistinctRowsLeavingTheUnusedRowsFree)
{
    std::set<int> rows;

    for (int cid = 1; cid <= 89; ++cid)
        EXPECT_TRUE (rows.insert (rowForCid (cid)).second) << "id " << cid << " shares a row";

    for (int r = 1; r <= 98; ++r)
        EXPECT_EQ (rows.count (r), (r >= 49 && r <= 57) ? 0u : 1u) << "row " << r;
}

TEST_F (RecordRow, JogHalvesFollowTheJogStateWhileOtherIdsDoNot)
{
    const int expected[4][2] = { { 80, 79 }, { 69, 70 }, { 67, 68 }, { 67, 68 } };

    for (int state = 0; state < 4; ++state)
    {
        isZoomNorLR = state;
        EXPECT_EQ (rowForCid (73), expected[state][0]) << "state " << state;
        EXPECT_EQ (rowForCid (74), expected[state][1]) << "state " << state;

        for (int cid = 0; cid <= 89; ++cid)
        {
            if (cid != 73 && cid != 74)
            {
                EXPECT_EQ (rowForCid (cid), documentedRowInJogState (cid)) << "id " << cid << " state " << state;
            }
        }
    }

    // In a cursor state the halves share the rows of the cursor targets they stand for.
    for (int state = 1; state <= 2; ++state)
    {
        isZoomNorLR = state;
        EXPECT_EQ (rowForCid (73), rowForCid (zomjog2cid[state][0]));
        EXPECT_EQ (rowForCid (74), rowForCid (zomjog2cid[state][1]));
    }
}

TEST_F (RecordRow, IdsOutsideTheSurfaceLandOnTheUnusedLastRow)
{
    for (int cid : { -1000, -1, 90, 91, 100, 1000 })
        EXPECT_EQ (rowForCid (cid), 99) << "id " << cid;
}

TEST (SharedFlags, JogHalvesPerStateAreTheDocumentedIds)
{
    const int expected[3][2] = { { 73, 74 }, { 86, 87 }, { 88, 89 } };

    for (int s = 0; s < 3; ++s)
        for (int h = 0; h < 2; ++h)
            EXPECT_EQ (zomjog2cid[s][h], expected[s][h]);
}
