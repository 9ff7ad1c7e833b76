#pragma once

#include <vector>

namespace zorv
{
    // The message-loop slices that make up a wait of `ms`: whole slices of
    // 100 ms, the remainder last; a wait of 0 (or less) is one slice of 0.
    std::vector<int> sleepSlices (int ms);

    // Waits `ms` while the message loop keeps running, so the window stays
    // alive and messages (clicks, keys) are dispatched meanwhile. Off the
    // message thread it simply sleeps.
    void sleep_ms (int ms);
}
