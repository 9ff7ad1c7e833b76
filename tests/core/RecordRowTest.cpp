#include "core/RecordRow.h"
#include "tests/core/ScopedJogState.h"
#include "tests/core/SurfaceLayout.h"

#include <gtest/gtest.h>

TEST (RecordRow, EveryIdHasItsDocumentedRowInEveryJogState)
{
    ScopedJogState jog (0);

    // State 3 is no state of the editor's: the halves read it as up/down.
    const int halves[4][2] = { { 80, 79 }, { 69, 70 }, { 67, 68 }, { 67, 68 } };

    for (int state = 0; state < 4; ++state)
    {
        jog.set (state);

        for (int cid = 0; cid <= 89; ++cid)
        {
            const int expected = cid == 73 ? halves[state][0] : cid == 74 ? halves[state][1] : SurfaceLayout::rowOf (cid);
            EXPECT_EQ (rowForCid (cid), expected) << "id " << cid << " state " << state;
        }
    }
}

TEST (RecordRow, IdsOutsideTheSurfaceLandOnTheUnusedLastRow)
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
