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

    constexpr double minPauseMs = 0.9;

    bool isHui (int mode)   { return mode == CtMode::proTools || mode == CtMode::usrdefHui; }

    // How the six notes of each row are grouped: 2 for a pair, 1 for a note
    // sent singly. Button rows (with the zoom buttons' fixed rows) go as
    // pairs, except a Mackie Control button whose note is not 0, which sends
    // four notes singly and then a pair; every other row sends singly.
    std::vector<int> groupsOfRow (int row, int mode, const CtMap& map)
    {
        static const int buttonOfRow[99] = {
             0, 25, 26, 27, 28, 29, 30, 31, 32, 17, 18, 19, 20, 21, 22, 23, 24,
                 9, 10, 11, 12, 13, 14, 15, 16,  1,  2,  3,  4,  5,  6,  7,  8,
                52, 51, 50, 49, 57, 56, 55, 54, 58, 59, 61, 60, 63, 62,
                -1, -1,                                      // zoom buttons: always pairs
                49, 49, 49, 49, 49, 49, 49, 49, 49,
                33, 34, 35, 36, 37, 38, 39, 40, 64,
                 0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  // rows 67..80
                41, 42, 43, 44, 45, 46, 47, 48, 53,
                 0,  0,  0,  0,  0,  0,  0,  0,  0 };        // faders

        const int id = buttonOfRow[row];

        if (id == 0)
            return { 1, 1, 1, 1, 1, 1 };

        if (id < 0 || isHui (mode) || (int) map.getControlById (id).getProperty (Tags::value) == 0)
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
                {
                    index += 2;
                    due.push_back (index);
                }
                else
                {
                    single();
                }
            }
        }

        single();   // closing frame marker
        single();   // end marker
        return due;
    }

    struct Observed
    {
        std::vector<int> due;
        std::set<int> gaps;
        size_t numMessages = 0;
    };

    Observed transferAndMeasure (TrvPlus& trv, int mode)
    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, EmulatedController::trevanM());
        trv.setCurrentOutputDevice ("Trevan M");
        trv.setCtMode (CtMode (mode));

        Observed o;
        EXPECT_TRUE (trv.sendCurrentMapping().wasOk());
        EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");

        const auto times = unit.lastTransfer().arrivalTimes();
        const auto gaps = EmulatedController::pausesAfter (times, minPauseMs);
        o.numMessages = times.size();
        o.gaps.insert (gaps.begin(), gaps.end());
        o.due = duePauses (mode, trv.getCurrentMap());
        return o;
    }

    void expectDuePausesPresent (const Observed& o)
    {
        ASSERT_EQ (o.numMessages, 592u);

        int observable = 0;

        for (int i : o.due)
        {
            if (i >= (int) o.numMessages - 1)
                continue;       // the pause after the end marker has nothing after it to show it

            ++observable;
            EXPECT_TRUE (o.gaps.count (i) == 1) << "no pause after message " << i;
        }

        EXPECT_GE ((int) o.gaps.size(), observable);
    }
}

using MappingTransferPacing = TrvPlusFixture;

TEST_F (MappingTransferPacing, FactoryMackiePausesAfterStartFrameEveryPairAndEverySecondSingle)
{
    const auto o = transferAndMeasure (*trv, CtMode::mackie);

    // 101 pairs: 11 button records of note 0 (control 1, control 49 and its
    // nine repeats) as three pairs, 62 others with one pair each, and the two
    // zoom rows as three pairs. 388 singles: 62 x 4 in button rows, 25 other
    // rows x 6, the two closing markers.
    ASSERT_EQ (o.due.size(), 1u + 101u + 194u);
    EXPECT_EQ (o.due.back(), 591);
    expectDuePausesPresent (o);
}

TEST_F (MappingTransferPacing, HuiAndEditedMapsPauseWhereTheirGroupingWantsIt)
{
    {
        SCOPED_TRACE ("usrdef-hui");
        const auto o = transferAndMeasure (*trv, CtMode::usrdefHui);
        ASSERT_EQ (o.due.size(), 1u + 225u + 70u);
        expectDuePausesPresent (o);
    }

    {
        // Odd runs of singles shift where the single-note pauses fall: a
        // button row moved off note 0 adds four singles and drops two pairs.
        SCOPED_TRACE ("edited usrdef-mcp");
        trv->setCtMode (CtMode (CtMode::usrdefMcp));
        trv->getCurrentMap().getControlById (1).setProperty (Tags::value, 9, nullptr);
        nd[25][2] = 9;
        trv->getCurrentMap().getControlById (26).setProperty (Tags::value, 0, nullptr);

        const auto o = transferAndMeasure (*trv, CtMode::usrdefMcp);
        ASSERT_EQ (o.due.size(), 1u + 101u + 194u);
        expectDuePausesPresent (o);
    }
}
