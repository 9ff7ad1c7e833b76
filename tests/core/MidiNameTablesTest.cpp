#include "core/MidiNameTables.h"
#include "tests/core/TextTableExpect.h"

#include <gtest/gtest.h>

TEST (MidiNames, NoteNamesCarryPitchClassAndOctave)
{
    const char* classes[12] = { " C", "C#", " D", "D#", " E", " F", "F#", " G", "G#", " A", "A#", " B" };
    std::map<int, std::string> names;

    for (int octave = -1, n = 0; n < 128; ++octave)
        for (int pc = 0; pc < 12 && n < 128; ++pc, ++n)
            names[n] = std::string (classes[pc]) + "(" + std::to_string (octave) + ")";

    expectTextTable (NOTE, 128, names);
}

TEST (MidiNames, ControllerNamesListTheKnownControllersAndDashTheRest)
{
    std::map<int, std::string> names {
        { 0, "Bank MSB*(GS)" }, { 1, "Modulation(GM)" }, { 2, "Breath" }, { 4, "Foot Pedal" },
        { 5, "Portamento Time(GM)" }, { 6, "Data Entry MSB(GM)" }, { 7, "Volume*(GM)" }, { 8, "Balance(GM)" },
        { 10, "Pan(GM)" }, { 11, "Expression*(GM)" }, { 38, "Data Entry LSB" }, { 64, "Hold Pedal #1*(GM)" },
        { 65, "Portamento(Gs)" }, { 66, "Sostenuto(Gs)" }, { 67, "Soft Pedal(Gs)" }, { 68, "Legato Pedal" },
        { 69, "Hold Pedal #2" }, { 70, "Sound Variation" }, { 71, "Sound Timbre" },
        { 72, "Sound Release Time" }, { 73, "Sound Attack Time" }, { 74, "Sound Brightness" },
        { 84, "Portamento Control(GS)" }, { 91, "Reverb Level(GS)" }, { 92, "Tremolo Depth" },
        { 93, "Chorus Level(GS)" }, { 94, "Celeste Depth" }, { 95, "Phaser Depth" }, { 96, "Data Increment" },
        { 97, "Data Decrement" }, { 98, "Non-RPN*Param LSB(GS)" }, { 99, "Non-RPN*Param MSB(GS)" },
        { 100, "RPN*Parameter LSB(GM)" }, { 101, "RPN*Parameter MSB(GM)" }, { 120, "All Sound Off*(GS)" },
        { 121, "Reset All Contorllers(GM)" }, { 122, "Local On/Off" }, { 123, "All Notes Off*(GM)" },
        { 124, "Omni Mode Off" }, { 125, "Omni Mode On" }, { 126, "Mono Mode On" }, { 127, "Poly Mode On" }
    };

    addNumbered (names, 16, "Gp Control #", 4);
    for (int n = 5; n <= 8; ++n)
        names[75 + n] = "GP Control #" + std::to_string (n);

    for (int n = 6; n <= 10; ++n)
        names[69 + n] = "Sound Control #" + std::to_string (n);

    expectTextTable (CC, 128, names, "--");
}

TEST (MidiNames, TypeListReachesNoteControllerAndPitchTables)
{
    EXPECT_EQ (NCP[0], NOTE);
    EXPECT_EQ (NCP[1], CC);
    EXPECT_EQ (NCP[2], PITCH);
}
