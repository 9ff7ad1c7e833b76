#include "core/ProToolsTables.h"
#include "tests/core/TextTableExpect.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{
    struct Switch
    {
        int index;
        std::string name;
        int zone, port;
    };

    // The HUI switches after the channel strips, as documented: index, name, zone/port.
    const std::vector<Switch> documentedSwitches {
        { 67, "Ctrl", 8, 0 }, { 68, "Shift", 8, 1 }, { 69, "Alt", 8, 2 }, { 70, "Undo", 8, 3 },
        { 71, "Cmd", 8, 4 }, { 72, "Option", 8, 5 }, { 73, "Save", 8, 7 }, { 74, "Mix?", 9, 0 },
        { 75, "Edit", 9, 1 }, { 76, "Transpt", 9, 2 }, { 77, "MemLock", 9, 3 }, { 78, "Send A", 11, 7 },
        { 79, "Send B", 11, 6 }, { 80, "Send C", 11, 5 }, { 81, "Send D", 11, 4 }, { 82, "Send E", 11, 3 },
        { 83, "Pan", 11, 2 }, { 84, "Input", 11, 1 }, { 85, "Output", 11, 0 }, { 86, "Down?", 13, 0 },
        { 87, "Left?", 13, 1 }, { 88, "Zoom?", 13, 2 }, { 89, "Right?", 13, 3 }, { 90, "Up?", 13, 4 },
        { 91, "Scrub?", 13, 5 }, { 92, "Rewind", 14, 1 }, { 93, "FastFwd", 14, 2 }, { 94, "Stop", 14, 3 },
        { 95, "Play", 14, 4 }, { 96, "Record", 14, 5 }, { 97, "Loop", 15, 3 }, { 98, "Punch", 15, 4 },
        { 99, "IN", 16, 2 }, { 100, "OUT", 16, 3 }, { 101, "Flip", 12, 3 }, { 102, "1<", 10, 0 },
        { 103, "<<8", 10, 1 }, { 104, ">1", 10, 2 }, { 105, "8>>", 10, 3 }, { 106, "Enter", 20, 0 },
        { 107, "Suspend", 12, 2 }, { 108, "?Latch", 24, 1 }, { 109, "?Read", 24, 2 }, { 110, "?Off", 24, 3 },
        { 111, "?Write", 24, 4 }, { 112, "?Touch", 24, 5 }, { 113, "?Trim", 24, 7 }, { 114, "Assign", 12, 0 },
        { 115, "Cancel", 27, 7 }, { 116, "Plugin Assign", 28, 1 }, { 117, "Compare", 28, 7 },
        { 118, "Bypass", 28, 6 }
    };

    // The strip switches: REC, SOLO, MUTE, SEL, Mon, Touch, eight each, with their ports.
    std::vector<Switch> stripSwitches()
    {
        struct Group { const char* prefix; int port; };
        const Group groups[] = { { "REC.", 7 }, { "SOLO.", 3 }, { "MUTE.", 2 }, { "SEL.", 6 }, { "Mon", 5 }, { "Touch.", 0 } };

        std::vector<Switch> result;
        int index = 19;

        for (const auto& g : groups)
        {
            for (int zone = 0; zone < 8; ++zone)
            {
                result.push_back ({ index++, g.prefix + std::to_string (zone + 1), zone, g.port });
            }
        }

        return result;
    }

    std::array<int, 4> record (int index)
    {
        return { protoolsMapping0[index][0], protoolsMapping0[index][1],
                 protoolsMapping0[index][2], protoolsMapping0[index][3] };
    }
}

TEST (ProToolsRecords, VolumesPansAndTransportFollowTheirRules)
{
    for (int ch = 0; ch < 8; ++ch)
    {
        EXPECT_EQ (record (ch), (std::array<int, 4> { ch, 0, 0x20 + ch, 0 })) << "volume " << ch;
        EXPECT_EQ (record (9 + ch), (std::array<int, 4> { 0x40 + ch, 0x40, 0, 0 })) << "pan " << ch;
    }

    EXPECT_EQ (record (8), (std::array<int, 4> { 8, 0, 0x28, 0 }));
    EXPECT_EQ (record (17), (std::array<int, 4> { 0x0D, 0x40, 0, 0 }));
    EXPECT_EQ (record (18), (std::array<int, 4> { 0x0F, 0x1F, 0x40, 0 }));
    EXPECT_EQ (record (119), (std::array<int, 4> { 0, 0, 0, 0 }));
}

TEST (ProToolsRecords, EverySwitchHasItsNameZoneAndPort)
{
    auto switches = stripSwitches();
    switches.insert (switches.end(), documentedSwitches.begin(), documentedSwitches.end());
    ASSERT_EQ (switches.size(), 100u);

    std::map<int, std::string> names;
    addNumbered (names, 0, "Vol.", 8);
    names[8] = "Vol.M?";
    addNumbered (names, 9, "Pan.", 8);
    names[17] = "Tape Tspt?";

    for (size_t i = 0; i < switches.size(); ++i)
    {
        const auto& s = switches[i];
        ASSERT_EQ (s.index, 19 + (int) i);
        names[s.index] = s.name;
        EXPECT_EQ (record (s.index), (std::array<int, 4> { 0x0F, s.zone, 0x40 | s.port, s.port })) << s.name;
    }

    expectTextTable (protoolsControlNames, 119, names);
}

TEST (ProToolsIndexLists, LeadFromListPositionsToTheDocumentedControls)
{
    for (int i = 0; i < 101; ++i)
        EXPECT_EQ (protoolsButtonIndexes[i], 18 + i);

    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (protoolsKnobIndexes[i], 9 + i);
        EXPECT_EQ (protoolsFaderIndexes[i], i);
        EXPECT_EQ (protoolsFaderIndexes[8 + i], 9 + i);
    }

    EXPECT_EQ (protoolsMasterFaderIndexes[0], 8);
    EXPECT_EQ (protoolsMasterFaderIndexes[1], 17);
    EXPECT_EQ (protoolsJogIndexesWhenZmN[0], 17);

    // Cursor left, right, up, down name the matching switches.
    const char* cursorNames[4] = { "Left?", "Right?", "Up?", "Down?" };

    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ (protoolsControlNames[protoolsJogIndexesWhenZmLR[i]], cursorNames[i]);
}

TEST (ProToolsIndexLists, ButtonDefaultsAreTheDocumentedControls)
{
    const int expected[24] = { 59, 60, 61, 62, 63, 64, 65, 66, 18, 111, 109, 74,
                               18, 102, 104, 103, 105, 92, 93, 95, 94, 96, 97, 91 };

    for (int i = 0; i < 24; ++i)
    {
        EXPECT_EQ (protoolsButtonDefaults[i], expected[i]) << "button list index " << 40 + i;
        EXPECT_LT (protoolsButtonDefaults[i], 119);
    }
}
