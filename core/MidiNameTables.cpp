#include "core/MidiNameTables.h"

// Natural notes carry a leading blank so that names line up in the lists.
const char NOTE[128][40] =
{
    " C(-1)", "C#(-1)", " D(-1)", "D#(-1)", " E(-1)", " F(-1)", "F#(-1)", " G(-1)", "G#(-1)", " A(-1)", "A#(-1)", " B(-1)",  // 0-11
    " C(0)", "C#(0)", " D(0)", "D#(0)", " E(0)", " F(0)", "F#(0)", " G(0)", "G#(0)", " A(0)", "A#(0)", " B(0)",  // 12-23
    " C(1)", "C#(1)", " D(1)", "D#(1)", " E(1)", " F(1)", "F#(1)", " G(1)", "G#(1)", " A(1)", "A#(1)", " B(1)",  // 24-35
    " C(2)", "C#(2)", " D(2)", "D#(2)", " E(2)", " F(2)", "F#(2)", " G(2)", "G#(2)", " A(2)", "A#(2)", " B(2)",  // 36-47
    " C(3)", "C#(3)", " D(3)", "D#(3)", " E(3)", " F(3)", "F#(3)", " G(3)", "G#(3)", " A(3)", "A#(3)", " B(3)",  // 48-59
    " C(4)", "C#(4)", " D(4)", "D#(4)", " E(4)", " F(4)", "F#(4)", " G(4)", "G#(4)", " A(4)", "A#(4)", " B(4)",  // 60-71
    " C(5)", "C#(5)", " D(5)", "D#(5)", " E(5)", " F(5)", "F#(5)", " G(5)", "G#(5)", " A(5)", "A#(5)", " B(5)",  // 72-83
    " C(6)", "C#(6)", " D(6)", "D#(6)", " E(6)", " F(6)", "F#(6)", " G(6)", "G#(6)", " A(6)", "A#(6)", " B(6)",  // 84-95
    " C(7)", "C#(7)", " D(7)", "D#(7)", " E(7)", " F(7)", "F#(7)", " G(7)", "G#(7)", " A(7)", "A#(7)", " B(7)",  // 96-107
    " C(8)", "C#(8)", " D(8)", "D#(8)", " E(8)", " F(8)", "F#(8)", " G(8)", "G#(8)", " A(8)", "A#(8)", " B(8)",  // 108-119
    " C(9)", "C#(9)", " D(9)", "D#(9)", " E(9)", " F(9)", "F#(9)", " G(9)",  // 120-127
};

const char CC[128][40] =
{
    "Bank MSB*(GS)", "Modulation(GM)", "Breath", "--",  // 0-3
    "Foot Pedal", "Portamento Time(GM)", "Data Entry MSB(GM)", "Volume*(GM)",  // 4-7
    "Balance(GM)", "--", "Pan(GM)", "Expression*(GM)",  // 8-11
    "--", "--", "--", "--",  // 12-15
    "Gp Control #1", "Gp Control #2", "Gp Control #3", "Gp Control #4",  // 16-19
    "--", "--", "--", "--",  // 20-23
    "--", "--", "--", "--",  // 24-27
    "--", "--", "--", "--",  // 28-31
    "--", "--", "--", "--",  // 32-35
    "--", "--", "Data Entry LSB", "--",  // 36-39
    "--", "--", "--", "--",  // 40-43
    "--", "--", "--", "--",  // 44-47
    "--", "--", "--", "--",  // 48-51
    "--", "--", "--", "--",  // 52-55
    "--", "--", "--", "--",  // 56-59
    "--", "--", "--", "--",  // 60-63
    "Hold Pedal #1*(GM)", "Portamento(Gs)", "Sostenuto(Gs)", "Soft Pedal(Gs)",  // 64-67
    "Legato Pedal", "Hold Pedal #2", "Sound Variation", "Sound Timbre",  // 68-71
    "Sound Release Time", "Sound Attack Time", "Sound Brightness", "Sound Control #6",  // 72-75
    "Sound Control #7", "Sound Control #8", "Sound Control #9", "Sound Control #10",  // 76-79
    "GP Control #5", "GP Control #6", "GP Control #7", "GP Control #8",  // 80-83
    "Portamento Control(GS)", "--", "--", "--",  // 84-87
    "--", "--", "--", "Reverb Level(GS)",  // 88-91
    "Tremolo Depth", "Chorus Level(GS)", "Celeste Depth", "Phaser Depth",  // 92-95
    "Data Increment", "Data Decrement", "Non-RPN*Param LSB(GS)", "Non-RPN*Param MSB(GS)",  // 96-99
    "RPN*Parameter LSB(GM)", "RPN*Parameter MSB(GM)", "--", "--",  // 100-103
    "--", "--", "--", "--",  // 104-107
    "--", "--", "--", "--",  // 108-111
    "--", "--", "--", "--",  // 112-115
    "--", "--", "--", "--",  // 116-119
    "All Sound Off*(GS)", "Reset All Contorllers(GM)", "Local On/Off", "All Notes Off*(GM)",  // 120-123
    "Omni Mode Off", "Omni Mode On", "Mono Mode On", "Poly Mode On",  // 124-127
};

char PITCH[128][40] = {};

const char (*const NCP[3])[40] = { NOTE, CC, PITCH };
