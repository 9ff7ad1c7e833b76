#include "platform/PrecisePause.h"

#include <juce_events/juce_events.h>

#include <chrono>
#include <thread>

#if JUCE_LINUX
 #include <sys/prctl.h>
#endif

namespace
{
    using Clock = std::chrono::steady_clock;

    // A sleep wakes up some tens of microseconds late; the last stretch of a
    // pause is spent yielding instead, which ends it within microseconds.
    constexpr auto finalStretch = std::chrono::microseconds (100);

    // How often a pause that runs the message loop dispatches what is pending.
    constexpr auto dispatchInterval = std::chrono::milliseconds (1);

   #if JUCE_LINUX
    // Linux lets a sleeping thread wake up to 50 us late by default (its timer
    // slack) so that wake-ups can be grouped. A pause asks for the finest slack
    // and gives the thread its own back afterwards.
    struct FineTimerSlack
    {
        FineTimerSlack() : previous (prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0))
        {
            if (previous > 1)
                prctl (PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
        }

        ~FineTimerSlack()
        {
            if (previous > 1)
                prctl (PR_SET_TIMERSLACK, (unsigned long) previous, 0, 0, 0);
        }

        const int previous;
    };
   #else
    struct FineTimerSlack {};
   #endif

    void sleepUntil (Clock::time_point deadline)
    {
        const auto wakeUp = deadline - finalStretch;

        if (Clock::now() < wakeUp)
            std::this_thread::sleep_until (wakeUp);

        while (Clock::now() < deadline)
            std::this_thread::yield();
    }

    // Dispatches what is pending on the message thread without waiting for
    // more. False once the loop has been told to quit: it dispatches nothing then.
    bool dispatchPending (juce::MessageManager& mm)
    {
       #if JUCE_MAC || JUCE_IOS
        // JUCE's Apple loop runs nothing when given no time at all.
        return mm.runDispatchLoopUntil (1);
       #else
        // Given no time, JUCE's loop dispatches what is pending, but when
        // nothing is it sleeps a whole millisecond. A message of our own is
        // always pending, so the loop never sleeps on the pause's time. Once
        // the quit has been posted none is added: the quit message itself is
        // pending until the loop takes it, and the loop dispatches nothing
        // after it, so ours could never run (JUCE 7 drops it at once; a queue
        // that kept it would grow by one with every pause).
        if (! mm.hasStopMessageBeenSent())
            juce::MessageManager::callAsync ([] {});

        return mm.runDispatchLoopUntil (0);
       #endif
    }
}

void precisePause (int milliseconds, WhilePausing whilePausing)
{
    if (milliseconds <= 0)
        return;

    const auto deadline = Clock::now() + std::chrono::milliseconds (milliseconds);
    [[maybe_unused]] const FineTimerSlack slack {};

    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    const bool dispatching = whilePausing == WhilePausing::runMessageLoop
                              && mm != nullptr && mm->isThisTheMessageThread();

    if (dispatching)
    {
        // Dispatch first, then sleep a little: a pause of one millisecond still
        // runs the loop once, and none ends with a dispatch past its deadline.
        while (dispatchPending (*mm))
        {
            if (deadline - Clock::now() <= dispatchInterval + finalStretch)
                break;

            std::this_thread::sleep_for (dispatchInterval);
        }
    }

    sleepUntil (deadline);
}
