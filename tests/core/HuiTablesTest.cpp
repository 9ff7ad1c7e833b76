#include "core/HuiTables.h"
#include "tests/core/TextTableExpect.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace
{
    using Pair = std::pair<int, int>;

    struct Function
    {
        std::string name;
        int zone, port;
    };

    // The usrdef-hui button functions as documented, in list order.
    std::vector<Function> documentedButtonFunctions()
    {
        std::vector<Function> f;

        auto strip = [&f] (const std::string& prefix, int port)
        {
            for (int zone = 0; zone < 8; ++zone)
                f.push_back ({ prefix + std::to_string (zone + 1), zone, port });
        };

        f.push_back ({ "", 29, 7 });
        strip ("TOU.", 0);
        f.insert (f.end(), { { "Ctrl", 8, 0 }, { "Mixer", 9, 0 }, { "1<", 10, 0 }, { "Output", 11, 0 },
                             { "Assign", 12, 0 }, { "Up", 13, 0 }, { "Enter", 20, 0 }, { "Shift", 8, 1 },
                             { "Edit", 9, 1 }, { "<<8", 10, 1 }, { "Input", 11, 1 }, { "Right", 13, 1 },
                             { "Rewind", 14, 1 }, { "?Latch", 24, 1 }, { "PlugAsgn", 28, 1 } });
        strip ("MUTE", 2);
        f.insert (f.end(), { { "Alt", 8, 2 }, { "Transpt", 9, 2 }, { ">1", 10, 2 }, { "Pan", 11, 2 },
                             { "Suspend", 12, 2 }, { "Zoom", 13, 2 }, { "FastFwd", 14, 2 }, { "IN", 16, 2 },
                             { "?Read", 24, 2 } });
        strip ("SOLO", 3);
        f.insert (f.end(), { { "Undo", 8, 3 }, { "MemLock", 9, 3 }, { "8>>", 10, 3 }, { "SendE", 11, 3 },
                             { "Flip", 12, 3 }, { "Left", 13, 3 }, { "Stop", 14, 3 }, { "Loop", 15, 3 },
                             { "OUT", 16, 3 }, { "?Off", 24, 3 }, { "Cmd", 8, 4 }, { "SendD", 11, 4 },
                             { "Down", 13, 4 }, { "Play", 14, 4 }, { "Punch", 15, 4 }, { "?Write", 24, 4 } });
        strip ("MON.", 4);
        f.insert (f.end(), { { "Option", 8, 5 }, { "SendC", 11, 5 }, { "Scrub", 13, 5 }, { "Rec", 14, 5 },
                             { "?Touch", 24, 5 } });
        strip ("SEL", 1);
        f.insert (f.end(), { { "SendB", 11, 6 }, { "Bypass", 28, 6 } });
        strip ("REC", 7);
        f.insert (f.end(), { { "Save", 8, 7 }, { "SendA", 11, 7 }, { "?Trim", 24, 7 }, { "Cancel", 27, 7 },
                             { "Compare", 28, 7 } });
        return f;
    }

    // Fills `table` from a list of runs: { first entry, values... }.
    template <size_t n>
    std::vector<int> fromRuns (const std::vector<std::pair<int, std::vector<int>>>& runs)
    {
        std::vector<int> table (n, -1);

        for (const auto& [first, values] : runs)
            for (size_t i = 0; i < values.size(); ++i)
                table.at ((size_t) first + i) = values[i];

        return table;
    }

    std::vector<int> range (int first, int last)
    {
        std::vector<int> v;

        for (int x = first; x <= last; ++x)
            v.push_back (x);

        return v;
    }
}

TEST (HuiPairLists, ButtonFunctionsHaveTheirDocumentedNamesAndPairs)
{
    const auto functions = documentedButtonFunctions();
    ASSERT_EQ (functions.size(), 101u);

    std::map<int, std::string> names;
    std::set<Pair> distinct;

    for (int i = 0; i < 101; ++i)
    {
        const auto& f = functions[(size_t) i];
        names[i] = f.name;
        EXPECT_EQ (Pair (HuiBnVaPairs0[i][0], HuiBnVaPairs0[i][1]), Pair (f.zone, 0x40 | f.port)) << f.name;
        distinct.insert ({ HuiBnVaPairs0[i][0], HuiBnVaPairs0[i][1] });
    }

    expectTextTable (HuiBtnFuncs0, 101, names);
    EXPECT_EQ (distinct.size(), 101u) << "no two functions share a pair";
}

TEST (HuiPairLists, KnobFaderAndJogFunctionsHaveTheirDocumentedNamesAndPairs)
{
    std::map<int, std::string> knobs;
    addNumbered (knobs, 0, "PAN.", 8);
    expectTextTable (HuiKnFuncs0, 8, knobs);

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (Pair (HuiKnVaPairs0[i][0], HuiKnVaPairs0[i][1]), Pair (64, i));

    std::map<int, std::string> faders;
    addNumbered (faders, 0, "VOL.", 8);
    faders[8] = "VOL.M";
    addNumbered (faders, 9, "PAN.", 8);
    expectTextTable (HuiFdknFuncs0, 18, faders);

    for (int i = 0; i < 18; ++i)
    {
        const auto expected = i < 9 ? Pair (32, i) : Pair (64, i - 9);
        EXPECT_EQ (Pair (HuiFdknVaPairs0[i][0], HuiFdknVaPairs0[i][1]), expected) << "fader entry " << i;
    }

    expectTextTable (HuiJogFuncs0, 2, { { 0, "Tape Back" }, { 1, "Tape Fwd" } });
    EXPECT_EQ (Pair (HuiJogVaPairs0[0][0], HuiJogVaPairs0[0][1]), Pair (13, 0));
    EXPECT_EQ (Pair (HuiJogVaPairs0[1][0], HuiJogVaPairs0[1][1]), Pair (13, 64));
}

TEST (HuiPairLists, ValueBoxListsHoldTheDocumentedValues)
{
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (HuiBnV2[i], 64 + i);

    EXPECT_EQ (HuiFdknV1[0], 32);
    EXPECT_EQ (HuiFdknV1[1], 64);
    EXPECT_EQ (HuiKnV1[0], 64);
    EXPECT_EQ (HuiJogV2[0], 0);
    EXPECT_EQ (HuiJogV2[1], 64);
}

TEST (HuiIndexTables, SlotToPairIndexMatchesTheDocumentedRuns)
{
    const auto expected = fromRuns<104> ({
        { 0, range (78, 85) }, { 8, range (24, 31) }, { 16, range (41, 48) }, { 24, range (88, 95) },
        { 32, { 10, 40, 64, 0, 51, 18, 34, 11, 21, 38, 55, 62, 56, 76, 37, 37 } },
        { 48, std::vector<int> (9, 0) }, { 57, range (65, 72) }, { 65, { 75, 61, 14, 20, 54 } },
        { 70, range (0, 7) }, { 78, { 1, 0 } }, { 80, range (1, 8) }, { 88, { 0, 0 } },
        { 90, range (1, 7) }, { 97, { 8 } }, { 98, std::vector<int> (6, 0) } });

    for (int slot = 0; slot < 104; ++slot)
        EXPECT_EQ (HuiBtnMappIndex[slot], expected[(size_t) slot]) << "slot " << slot;

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (HuiKnoMappIndex[i], i);

    for (int i = 0; i < 9; ++i)
        EXPECT_EQ (HuiFadMappIndex[i], i);

    EXPECT_EQ (HuiJogMappIndex[0], 0);
    EXPECT_EQ (HuiJogMappIndex[1], 1);
}

TEST (HuiIndexTables, ControlIdToSlotMatchesTheDocumentedRuns)
{
    const auto expected = fromRuns<92> ({
        { 0, { 0 } }, { 1, range (24, 31) }, { 9, range (16, 23) }, { 17, range (8, 15) }, { 25, range (0, 7) },
        { 33, range (57, 64) }, { 41, range (32, 56) }, { 66, { 65, 66, 67 } }, { 69, { 74, 75, 70, 71 } },
        { 73, { 79, 78 } }, { 75, { 68, 69 } }, { 77, { 76, 77, 72, 73 } }, { 81, range (80, 84) },
        { 86, { 69, 68, 67, 66 } }, { 90, { 0, 0 } } });

    for (int cid = 0; cid < 92; ++cid)
        EXPECT_EQ (cid2BnAidHui[cid], expected[(size_t) cid]) << "id " << cid;
}
