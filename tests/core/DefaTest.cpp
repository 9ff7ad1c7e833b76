#include "core/Defa.h"
#include "core/MidiNameTables.h"
#include "core/MirrorTables.h"

#include "tests/core/ScopedJogState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace
{
    struct DefaTest : public ::testing::Test
    {
        void SetUp() override { refillMirrorTables (0); }

        ScopedJogState jog { 0 };
    };
}

TEST_F (DefaTest, IndexForIdOfTheJogHalvesFollowsStateAndSide)
{
    const int expected[3][2] { { 0, 0 }, { 2, 3 }, { 4, 5 } };

    for (int state = 0; state < 3; ++state)
    {
        for (int half = 0; half < 2; ++half)
        {
            jog.set (state, half);
            EXPECT_EQ (Defa::indexForId (73), expected[state][half]);
            EXPECT_EQ (Defa::indexForId (74), expected[state][half]);
        }
    }

    EXPECT_EQ (Defa::indexForId (86), 69);
    EXPECT_EQ (Defa::indexForId (0), -1);
}

// The factory records they read are held control by control by the factory maps' tests.
TEST_F (DefaTest, RecordGettersReadTheModesTableAndAreSafeOutsideIt)
{
    nd[25][3] = 99;
    EXPECT_EQ (Defa::getVelo (3, 1), 99);    // the user mode reads its own table...
    EXPECT_EQ (Defa::getVelo (4, 1), 127);   // ...the HUI modes read "mackie"

    EXPECT_EQ (Defa::getMsgType (7, 1), 0);
    EXPECT_EQ (Defa::getChan (-1, 1), 1);
}

TEST_F (DefaTest, ListSizesByModeKindAndJogState)
{
    const int mcp[] { 128, 8, 1, 16, 2, 128 }, proTools[] { 101, 8, 1, 16, 2, 0 };
    const int userHui[] { 101, 8, 2, 18, 18, 101 }, userHui2[] { 101, 8, 2, 18, 18, 0 };

    for (int kind = 0; kind < 6; ++kind)
    {
        EXPECT_EQ (Defa::nSelsInFunc (3, kind), mcp[kind]);
        EXPECT_EQ (Defa::nSelsInFunc2 (1, kind), 128);
        EXPECT_EQ (Defa::nSelsInFunc2 (2, kind), proTools[kind]);
        EXPECT_EQ (Defa::nSelsInFunc (4, kind), userHui[kind]);
        EXPECT_EQ (Defa::nSelsInFunc2 (4, kind), userHui2[kind]);
    }

    jog.set (2);
    EXPECT_EQ (Defa::nSelsInFunc (0, 2), 128);
    EXPECT_EQ (Defa::nSelsInFunc2 (2, 2), 4);
}

TEST_F (DefaTest, ListValuesAndSelections)
{
    EXPECT_EQ (Defa::getValue (0, 2, 0), 60);
    EXPECT_EQ (Defa::getValue (0, 4, 1), 60);
    EXPECT_EQ (Defa::getValue (3, 3, 8), 16);
    EXPECT_EQ (Defa::getValue2 (2, 0, 1), 19);
    EXPECT_EQ (Defa::selForval (0, 1, 99), 0);
    EXPECT_EQ (Defa::selForval2 (0, 1, 99), 99);
    EXPECT_EQ (Defa::indexForvalue (2, 3, 12), 11);
    EXPECT_EQ (Defa::selForval2 (2, 0, 17), -1);

    jog.set (1);
    EXPECT_EQ (Defa::getValue (0, 2, 42), 42);
    EXPECT_EQ (Defa::getValue (2, 2, 3), 86);
}

TEST_F (DefaTest, PositionsOutsideAListGiveZeroOrTheEmptyText)
{
    EXPECT_EQ (Defa::getValue (0, 1, 8), 0);
    EXPECT_EQ (Defa::getValue (0, 2, -1), 0);
    EXPECT_EQ (Defa::getValue (2, 0, 101), 0);
    EXPECT_STREQ (Defa::getName (0, 0, 128), "");
    EXPECT_STREQ (Defa::getName (1, 4, 2), "");
    EXPECT_STREQ (Defa::getName (2, 3, 16), "");
    EXPECT_STREQ (Defa::getName (4, 2, 2), "");
    EXPECT_STREQ (Defa::getName (9, 0, 3), "");

    for (int sel : { -1, 128, 255 })
        for (int msgType : { 9, 11, 14 })
            EXPECT_TRUE (Defa::getName3 (0, 0, sel, msgType).isEmpty());

    jog.set (2);
    EXPECT_EQ (Defa::getValue (2, 2, 4), 0);
    EXPECT_STREQ (Defa::getName (2, 2, 5), "");
}

TEST_F (DefaTest, FunctionAndValueListNames)
{
    EXPECT_STREQ (Defa::getName (3, 1, 0), "");
    EXPECT_STREQ (Defa::getName (0, 2, 5), "Tape Tspt");
    EXPECT_STREQ (Defa::getName (0, 5, 0), "");
    EXPECT_STREQ (Defa::getName (4, 4, 8), "VOL.M");
    EXPECT_EQ (Defa::getName3 (0, 0, 0, 9), " C(-1)  REC.1");
    EXPECT_EQ (Defa::getName3 (1, 0, 40, 0), " E(2)  Track");
    EXPECT_EQ (Defa::getName3 (1, 3, 16, 11), "Gp Control #1");
    EXPECT_EQ (Defa::getName3 (0, 7, 0, 9), "(err)");
    EXPECT_EQ (Defa::getName3 (2, 0, 1, 11), "REC.1");

    char saved[40];
    std::memcpy (saved, PITCH[5], sizeof (saved));
    std::strcpy (PITCH[5], "---");
    EXPECT_EQ (Defa::getName3 (0, 1, 5, 14), "---");
    std::memcpy (PITCH[5], saved, sizeof (saved));

    jog.set (1);
    EXPECT_STREQ (Defa::getName (0, 2, 5), "REC.6");
    EXPECT_STREQ (Defa::getName (2, 2, 0), "Left?");
}

TEST_F (DefaTest, ButtonValue2ReadsTheModesTablePastForty)
{
    EXPECT_EQ (Defa::getButtonValue2 (0, 39), 39);
    lg[81][2] = 55;
    EXPECT_EQ (Defa::getButtonValue2 (1, 80), 55);
    EXPECT_EQ (Defa::getButtonValue2 (3, 80), 104);
    EXPECT_EQ (Defa::getButtonValue2 (0, 99), 0);
    EXPECT_EQ (Defa::getButtonValue2 (0, std::numeric_limits<int>::max()), 0);
}
