#pragma once

#include "core/CtMode.h"

#include <juce_core/juce_core.h>

// Every question about a control's assignment, answered from the factory and
// mirror tables. Arguments are plain ints: a mode 0-4, a kind 0-4, a control
// id, a position `sel` in a list. Modes 2 and 4 speak HUI, all others are
// treated as Mackie Control modes. Lookups outside a table give 0 or the empty
// text, never a read past its end.
class Defa
{
public:
    //==============================================================================
    // Vocabulary
    static int kindForCid (int cid);
    static juce::String getMstyStr (int nibble);
    static int getMstyForSel (int sel);
    static int selForMsgType (int nibble);

    // Position of a control in the function list of its kind; -1 for no control.
    static int indexForId (int cid);

    //==============================================================================
    // The record of a control in a mode's record table (HUI modes read "mackie")
    static int getMsgType (int mode, int cid);
    static int getChan (int mode, int cid);
    static int getVelo (int mode, int cid);

    // Data byte of a control's record in the mode that is current now.
    static int getMsVal (int cid);

    //==============================================================================
    // Function list: how a control's value is named on its label
    static int nSelsInFunc (int mode, int kind);
    static int getValue (int mode, int kind, int sel);
    static const char* getName (int mode, int kind, int sel);

    // Value list: the entries of the editor's function box
    static int nSelsInFunc2 (int mode, int kind);
    static int getValue2 (int mode, int kind, int sel);
    static juce::String getName3 (int mode, int kind, int sel, int msgType);

    // HUI control index of entry `sel` of a "pro-tools" list; the mode is not used.
    static int getValueHUI (int mode, int kind, int sel);

    // First function-list position whose value matches; 0 when none does.
    static int selForval (int mode, int kind, int value);
    static int indexForvalue (int mode, int kind, int value);

    // First value-list position whose value matches; -1 when none does.
    static int selForval2 (int mode, int kind, int value);

    //==============================================================================
    // Factory values that a map's reset writes into a control record
    static int factoryValue (int mode, int cid);
    static int factoryV1V2 (int mode, int cid, int which);
    static int getButtonValue2 (int mode, int i);

    Defa() = delete;

private:

    // The 4-byte record of a control in a mode; a record of zeros for a mode
    // that has no table.
    static const unsigned char* recordOf (int mode, int cid);
};
