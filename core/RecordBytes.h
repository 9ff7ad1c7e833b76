#pragma once

// The bytes that mirror one control's assignment in the mirror tables: its
// record (status nibble, status byte, data byte, velocity) in a Mackie
// Control mode's record table, its knob rotation bytes and its "usrdef-hui"
// pair. Loading a mapping file and the editor's setters write them here and
// nowhere else; the mapping transfer (RecordSenders) reads the same tables.
//
// Every writer takes the mode it writes for and leaves alone what that mode
// does not keep: record tables exist for "mackie", "logic" and "usrdef-mcp",
// pairs for "usrdef-hui". An id outside 1..89 writes nothing.
namespace RecordBytes
{
    // Byte 0, and the high nibble of the status byte; the channel stays.
    void setStatusNibble (int mode, int cid, int nibble);

    // The low nibble of the status byte: channel 1..16, kept to its nibble so
    // that no channel can change the message type.
    void setChannel (int mode, int cid, int channel);

    // Byte 2: the note or controller number.
    void setDataByte (int mode, int cid, int dataByte);

    // Byte 3. Only "usrdef-mcp" takes an edited velocity; the factory modes'
    // records keep theirs.
    void setVelocity (int mode, int cid, int velocity);

    // The whole record at once, as a mapping file gives it.
    void setRecord (int mode, int cid, int nibble, int channel, int dataByte, int velocity);

    // Byte 2 of a control's record in a mode; both HUI modes read "mackie".
    int dataByte (int mode, int cid);

    // A knob, or the unzoomed jog wheel, sending controller numbers: its
    // velocity is a rotation pattern (64 incremental).
    bool hasRotationPattern (int msgType, int cid);

    // The rotation bytes keep one velocity per kind of controller number:
    // column 0 for the pan controllers 16 to 23 and the jog controller 60,
    // column 1 for any other.
    int rotationColumn (int controller);

    // The rotation byte of a knob or jog half (the halves share one row) for
    // a controller number; 0 for any other control.
    int rotationByte (int cid, int controller);
    void setRotationByte (int cid, int controller, int velocity);

    // value1 (which = 1) or value2 (which = 2) of a control's "usrdef-hui"
    // pair, in the pair table of its kind.
    void setHuiPairByte (int mode, int kind, int cid, int which, int value);
}
