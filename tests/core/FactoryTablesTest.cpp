#include "core/FactoryTables.h"
#include "tests/core/SurfaceLayout.h"
#include "tests/core/TextTableExpect.h"

#include <gtest/gtest.h>

namespace
{
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
    for (int r = 0; r < 100; ++r)
    {
        const std::array<int, 4> actual { cbBnAttrs0[r][0], cbBnAttrs0[r][1], cbBnAttrs0[r][2], cbBnAttrs0[r][3] };
        EXPECT_EQ (actual, SurfaceLayout::factoryRecord (r)) << "row " << r;
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
