#include "core/FactoryTables.h"
#include "tests/core/TextTableExpect.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{
    using Record = std::array<int, 4>;

    Record noteOn (int note)        { return { 9, 0x90, note, 127 }; }
    Record controlChange (int cc)   { return { 11, 0xB0, cc, 64 }; }

    // The factory records as the surface's documentation lists them, block by block.
    std::vector<Record> documentedFactoryRecords()
    {
        std::vector<Record> rows (100, Record { -1, -1, -1, -1 });

        auto notes = [&rows] (int firstRow, std::vector<int> list)
        {
            for (size_t i = 0; i < list.size(); ++i)
                rows[(size_t) firstRow + i] = noteOn (list[i]);
        };

        auto noteRun = [&rows] (int firstRow, int lastRow, int firstNote)
        {
            for (int r = firstRow; r <= lastRow; ++r)
                rows[(size_t) r] = noteOn (firstNote + r - firstRow);
        };

        notes (0, { 0 });
        noteRun (1, 8, 24);
        noteRun (9, 16, 16);
        noteRun (17, 24, 8);
        noteRun (25, 32, 0);
        notes (33, { 84, 74, 75, 0 });
        notes (37, { 47, 46, 49, 48 });
        notes (41, { 91, 92, 93, 94, 86, 95 });
        notes (47, { 100, 100 });
        notes (49, { 0, 0, 0, 0, 0, 0, 0, 0, 0 });
        noteRun (58, 65, 32);
        notes (66, { 101 });
        notes (67, { 96, 97, 98, 99 });

        for (int r = 71; r <= 78; ++r)
            rows[(size_t) r] = controlChange (16 + r - 71);

        rows[79] = controlChange (60);
        rows[80] = controlChange (60);
        noteRun (81, 88, 104);
        notes (89, { 112 });

        for (int r = 90; r <= 98; ++r)
            rows[(size_t) r] = { 14, 0xE0 + r - 90, 0, 0 };

        rows[99] = { 0, 0, 0, 0 };
        return rows;
    }

    std::map<int, std::string> stripNames()
    {
        std::map<int, std::string> names;
        addNumbered (names, 0, "REC.", 8);
        addNumbered (names, 8, "SOLO.", 8);
        addNumbered (names, 16, "MUTE.", 8);
        addNumbered (names, 24, "SEL.", 8);
        addNumbered (names, 32, "Mon", 8);
        addNumbered (names, 54, "F", 8);
        addNumbered (names, 104, "Touch.", 8);
        return names;
    }
}

TEST (FactoryRecords, EveryRowMatchesTheDocumentedFactoryAssignment)
{
    const auto expected = documentedFactoryRecords();

    for (int r = 0; r < 100; ++r)
    {
        const Record actual { cbBnAttrs0[r][0], cbBnAttrs0[r][1], cbBnAttrs0[r][2], cbBnAttrs0[r][3] };
        EXPECT_EQ (actual, expected[(size_t) r]) << "row " << r;
    }
}

TEST (FactoryFunctionNames, MackieNamesEveryListedNote)
{
    auto names = stripNames();

    const std::map<int, std::string> others {
        { 40, "Page<<" }, { 41, "Page>>" }, { 42, "Pan" }, { 43, "Ins" }, { 44, "EQ" }, { 45, "FX-Send" },
        { 46, "<<8" }, { 47, "8>>" }, { 48, "1<" }, { 49, ">1" }, { 50, "Flip" }, { 51, "Edit" },
        { 52, "Name/Value" }, { 53, "SMPTE/Beats" }, { 70, "Undo" }, { 71, "Redo" }, { 72, "Save" },
        { 74, "Read" }, { 75, "Write" }, { 78, "Mixer" }, { 79, "Motor" }, { 80, "VSTi" }, { 81, "Master" },
        { 83, "Shift" }, { 84, "Trnspt<" }, { 85, "Trnspt>" }, { 86, "Loop" }, { 87, "Punch" },
        { 88, "Prev" }, { 89, "Add" }, { 90, "Next" }, { 91, "Rewind" }, { 92, "FastFwd" }, { 93, "Stop" },
        { 94, "Play" }, { 95, "Record" }, { 96, "Up" }, { 97, "Down" }, { 98, "Left" }, { 99, "Right" },
        { 100, "Zoom" }, { 101, "Scrub" }, { 102, "Usr B" }, { 103, "Usr A" }, { 112, "Touch.M" },
        { 113, "SMPTE LED" }, { 114, "Beats LED" }
    };
    names.insert (others.begin(), others.end());

    expectTextTable (nuendoNotes, 128, names);
    expectTextTable (cbFuncs, 128, names);
}

TEST (FactoryFunctionNames, LogicNamesEveryListedNote)
{
    auto names = stripNames();

    const std::map<int, std::string> others {
        { 40, "Track" }, { 41, "Send" }, { 42, " Pan/Surrnd" }, { 43, "Plug-in" }, { 44, "EQ" },
        { 45, "Instrmt" }, { 46, "<<8" }, { 47, "8>>" }, { 48, "1<" }, { 49, ">1" }, { 50, "Flip" },
        { 52, "Name/Value" }, { 53, "SMPTE/Beats" }, { 70, "Shift" }, { 74, "Read/Off" }, { 75, "Write" },
        { 76, "Trim" }, { 77, "Touch" }, { 78, "Latch" }, { 79, "Group" }, { 80, "Save" }, { 81, "Undo" },
        { 82, "Cancel" }, { 83, "Enter" }, { 84, "Marker" }, { 85, "Nudge" }, { 86, "Loop" }, { 87, "Drop" },
        { 88, "Replace" }, { 89, "Click" }, { 90, "Solos" }, { 91, "Rewind" }, { 92, "FastFwd" },
        { 93, "Stop" }, { 94, "Play" }, { 95, "Record" }, { 96, "Up" }, { 97, "Down" }, { 98, "Left" },
        { 99, "Right" }, { 100, "Zoom" }, { 101, "Scrub" }, { 102, "User B" }, { 103, "User A" },
        { 112, "Touch.M" }
    };
    names.insert (others.begin(), others.end());

    expectTextTable (logicNotes, 128, names);
}

TEST (FactoryKindLists, KnobFaderMasterAndJogListsHoldTheirNamesAndValues)
{
    std::map<int, std::string> knobs;
    addNumbered (knobs, 0, "Pan.", 8);
    expectTextTable (abletonLiveKnobs, 8, knobs);

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (abletonLiveKnobValues[i], 16 + i);

    std::map<int, std::string> faders;
    addNumbered (faders, 0, "Vol.", 8);
    addNumbered (faders, 8, "Pan.", 8);
    expectTextTable (abletonLiveFader, 16, faders);

    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (abletonLiveFaderValues[i], i < 8 ? 0 : 8 + i) << "fader entry " << i;

    expectTextTable (abletonLiveMasterFader, 2, { { 0, "Vol.M" }, { 1, "Tape Tspt" } });
    EXPECT_EQ (abletonLiveMasterFaderValues[0], 0);
    EXPECT_EQ (abletonLiveMasterFaderValues[1], 60);

    const int jog[6] = { 60, 60, 98, 99, 96, 97 };

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (abletonLiveJogWheelValues[i], jog[i]) << "jog entry " << i;
}
