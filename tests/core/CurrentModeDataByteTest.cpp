#include "tests/core/TrvPlusFixture.h"

#include "core/Defa.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());
}

using CurrentModeDataByte = TrvPlusFixture;

TEST_F (CurrentModeDataByte, ReadsTheCurrentModesRecordTable)
{
    EXPECT_EQ (Defa::getMsVal (1), 0);
    EXPECT_EQ (Defa::getMsVal (41), 104);
    EXPECT_EQ (Defa::getMsVal (65), 16);
    EXPECT_EQ (Defa::getMsVal (77), 0);

    lg[25][2] = 55;
    nd[25][2] = 66;
    trv->setCtMode (CtMode (CtMode::logic));
    EXPECT_EQ (Defa::getMsVal (1), 55);
    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    EXPECT_EQ (Defa::getMsVal (1), 66);
}

TEST_F (CurrentModeDataByte, HuiModesAnswerWithTheMackieByte)
{
    cb[81][2] = 99;

    for (int m : { CtMode::proTools, CtMode::usrdefHui })
    {
        trv->setCtMode (CtMode (m));
        EXPECT_EQ (Defa::getMsVal (41), 99);
        EXPECT_EQ (Defa::getMsVal (65), 16);
    }
}

TEST_F (CurrentModeDataByte, JogHalvesFollowTheJogState)
{
    const int rows[3][2] = { { 80, 79 }, { 69, 70 }, { 67, 68 } };

    for (int state = 0; state < 3; ++state)
    {
        isZoomNorLR = state;
        EXPECT_EQ (Defa::getMsVal (73), cb[rows[state][0]][2]) << "state " << state;
        EXPECT_EQ (Defa::getMsVal (74), cb[rows[state][1]][2]) << "state " << state;
    }

    isZoomNorLR = 1;
    EXPECT_EQ (Defa::getMsVal (73), 98);
    isZoomNorLR = 2;
    EXPECT_EQ (Defa::getMsVal (74), 97);
}
