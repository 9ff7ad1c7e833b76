#pragma once

// What the pausing thread does meanwhile.
enum class WhilePausing
{
    sleep,              // nothing: the caller holds the thread for the whole pause
    runMessageLoop      // on the message thread, dispatches messages about every
                        // millisecond so the window stays alive; elsewhere it sleeps
};

// Pauses for at least `milliseconds` (nothing for 0 or less) and as little
// longer as the platform allows. The senders that pace a MIDI stream pause
// hundreds of times per second, so every microsecond a pause overshoots is
// paid hundreds of times; none of them may ever end early, or the unit's
// receiver falls behind.
void precisePause (int milliseconds, WhilePausing whilePausing);
