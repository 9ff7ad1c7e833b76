#include "tests/core/SurfaceLayout.h"
#include "tests/core/TrvPlusFixture.h"

#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"

#include <set>
#include <vector>

// The controller's input needs the stream throttled: a pause after the start
// frame, after every pair of notes and after every second note sent singly.
// Gaps are measured where the emulated unit receives the messages. A loaded
// machine can only stretch a gap, so these tests check that every due pause
// is there, never that there is no gap elsewhere.

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // How the six notes of each row are grouped: 2 for a pair, 1 for a note
    // sent singly. Button rows (with the zoom buttons' fixed rows) go as
    // pairs, except a Mackie Control button whose note is not 0, which sends
    // four notes singly and then a pair; every other row sends singly.
    std::vector<int> groupsOfRow (int row, int mode, const CtMap& map)
    {
        if (row == 47 || row == 48)
            return { 2, 2, 2 };

        const int id = SurfaceLayout::controlOfRow (row);

        if (id > 64)
            return { 1, 1, 1, 1, 1, 1 };

        const bool hui = mode == CtMode::proTools || mode == CtMode::usrdefHui;

        if (hui || (int) map.getControlById (id).getProperty (Tags::value) == 0)
            return { 2, 2, 2 };

        return { 1, 1, 1, 1, 2 };
    }

    // Message indices of a transfer (0 the opening frame marker, 1 the start
    // frame, 2..589 the notes, 590 the closing marker, 591 the end marker)
    // after which the protocol wants a pause.
    std::vector<int> duePauses (int mode, const CtMap& map)
    {
        std::vector<int> due { 1 };
        int index = 1, singles = 0;

        auto single = [&]
        {
            ++index;

            if (++singles == 2)
            {
                due.push_back (index);
                singles = 0;
            }
        };

        for (int row = 1; row <= 98; ++row)
        {
            for (int group : groupsOfRow (row, mode, map))
            {
                if (group == 2)
                    due.push_back (index += 2);
                else
                    single();
            }
        }

        single();   // closing frame marker
        single();   // end marker
        return due;
    }
}

using MappingTransferPacing = TrvPlusFixture;

TEST_F (MappingTransferPacing, PausesAfterStartFrameEveryPairAndEverySecondSingle)
{
    struct Case
    {
        const char* name;
        int mode;
        size_t numPairs, numSinglePauses;
    };

    // Factory mackie: 101 pairs (11 button records of note 0 - control 1,
    // control 49 and its nine repeats - as three pairs, 62 others with one
    // pair each, the two zoom rows as three pairs) and 388 singles (62 x 4
    // in button rows, 25 other rows x 6, the two closing markers). In the
    // edited map odd runs of singles shift where the single-note pauses fall:
    // a button row moved off note 0 adds four singles and drops two pairs.
    const Case cases[] = { { "mackie", CtMode::mackie, 101, 194 },
                           { "usrdef-hui", CtMode::usrdefHui, 225, 70 },
                           { "edited usrdef-mcp", CtMode::usrdefMcp, 101, 194 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, EmulatedController::trevanM());
        trv->setCurrentOutputDevice ("Trevan M");
        trv->setCtMode (CtMode (c.mode));

        if (c.mode == CtMode::usrdefMcp)
        {
            trv->getCurrentMap().getControlById (1).setProperty (Tags::value, 9, nullptr);
            nd[25][2] = 9;
            trv->getCurrentMap().getControlById (26).setProperty (Tags::value, 0, nullptr);
        }

        EXPECT_TRUE (trv->sendCurrentMapping().wasOk());
        EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");

        const auto times = unit.lastTransfer().arrivalTimes();
        ASSERT_EQ (times.size(), 592u);

        const auto gapList = EmulatedController::pausesAfter (times, 0.9);
        const std::set<int> gaps (gapList.begin(), gapList.end());
        const auto due = duePauses (c.mode, trv->getCurrentMap());
        ASSERT_EQ (due.size(), 1 + c.numPairs + c.numSinglePauses);
        EXPECT_EQ (due.back(), 591);

        // The pause after the end marker has nothing after it to show it.
        for (size_t i = 0; i + 1 < due.size(); ++i)
            EXPECT_EQ (gaps.count (due[i]), 1u) << "no pause after message " << due[i];
    }
}
