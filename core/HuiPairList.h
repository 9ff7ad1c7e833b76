#pragma once

// The (value1, value2) pairs behind the HUI functions of one kind of control
// in "usrdef-hui": a control's function is the position of its pair here.
// Buttons, knobs, the jog wheel and the faders (the master fader with them)
// each have their own list; any other kind reads the buttons' list.
struct HuiPairList
{
    const unsigned char (*pairs)[2];
    int size;
    bool matchesSecondOnly;   // knobs: a function is told by its value2 alone
    int fallback;             // the position shown for a pair the list lacks

    static HuiPairList of (int kind);

    // value1 (which = 1) or value2 (which = 2) of the pair at `index`; 0
    // outside the list.
    int byteOf (int index, int which) const;

    // The first position whose pair matches; -1 when none does.
    int find (int value1, int value2) const;

    // As find, but the fallback when nothing matches.
    int positionOf (int value1, int value2) const;
};

// Position of a pair in the list of a kind, or the kind's fallback.
int posOfPair (int kind, int first, int second);
