#pragma once

#include <functional>

// For tests of input that used to hang the program: runs the work on a thread
// of its own and waits for it up to a generous limit, so that a regression
// fails the test instead of stalling the whole run. A limit, never a speed
// measurement: pass something far beyond the work's usual time.
class HangGuard
{
public:
    // True when the work finished in time. Otherwise its thread is left
    // running (it may never end) and dies with the test process; the work
    // must then not touch anything the test destroys, so capture by value.
    static bool finishesWithin (int seconds, std::function<void()> work);
};
