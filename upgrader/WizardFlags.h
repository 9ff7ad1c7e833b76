#pragma once

// Mode switches of the firmware wizard. They live for the whole program run
// (auto and serial mode carry over from one wizard to the next) and are only
// touched on the message thread.

// Each step starts the next; pickers confirm themselves; no questions asked.
extern bool bAuto;

// In auto mode, start again at step 1 after each upload.
extern bool bSerial;

namespace zorv
{
    // Generic ports of the maker's devices and products outside the table are
    // accepted.
    extern bool bTest_fwug;

    // Escape was pressed: ends the waits, the network transfers and the
    // automatic chain.
    extern bool bEsc;

    // What Escape does, and a close or quit request while the wizard is busy:
    // a wait or a network transfer ends at once, the automatic chain at its
    // next link and a serial run after the unit at hand. The upload never
    // looks at it, so a unit is never left half-written.
    void giveUp();

    // A unit of any product may be upgraded, not only the one the wizard was
    // opened for.
    extern bool bForAnyZorv;

    // A step is running: the wizard refuses close requests.
    extern bool protectUiQ;

    // Successful uploads counted in auto mode; the serial title shows them.
    extern int _num_UpgradeSuccess;

    // Step 1 takes its countdown out of the title once its wait is over.
    extern bool bResetTitle;
}
