#pragma once

#include <functional>
#include <vector>

namespace zorv
{
    // Runs the message loop for `ms` on the message thread, so the window
    // stays alive and messages (clicks, keys) are dispatched meanwhile; a pump
    // of 0 dispatches what is pending and returns. It never ends early (see
    // precisePause), not even once the application has been told to quit:
    // from then on it dispatches nothing, but still lasts its length. Off the
    // message thread, where there is no loop to run, it sleeps instead, for
    // at least 1 ms. Every wait of the wizard, of its pickers and of the
    // upload is made of these.
    void pump (int ms);

    // The message-loop slices that make up a wait of `ms`: whole slices of
    // 100 ms, the remainder last; a wait of 0 (or less) is one slice of 0.
    std::vector<int> sleepSlices (int ms);

    // Waits `ms` as one pump per slice of sleepSlices. Off the message thread
    // it simply sleeps `ms` (nothing for 0).
    void sleep_ms (int ms);

    // Called with the length of every pump on the message thread as it
    // begins; empty (the default) for none. The upload's pacing is made of
    // pumps, so tests check it here: measured by the clock, a loaded machine
    // stretches any pause.
    void watchPumps (std::function<void (int ms)> watcher);
}
