#include "platform/PrecisePause.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <chrono>
#include <memory>
#include <thread>

#if JUCE_LINUX
 #include <sys/prctl.h>
#endif

// A pause may be stretched by a loaded machine, so these tests only ever check
// that it lasted at least its length, never how much longer.
namespace
{
    using Clock = std::chrono::steady_clock;

    double msSince (Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    }

    double timedPause (int ms, WhilePausing whilePausing)
    {
        const auto start = Clock::now();
        precisePause (ms, whilePausing);
        return msSince (start);
    }

    // Posts a message that keeps the message thread busy for a while, so that
    // dispatching it uses up part of a pause; the flag tells it has run.
    std::shared_ptr<bool> postBusyMessage (double busyMs)
    {
        auto dispatched = std::make_shared<bool> (false);

        juce::MessageManager::callAsync ([dispatched, busyMs]
        {
            const auto start = Clock::now();

            while (msSince (start) < busyMs) {}

            *dispatched = true;
        });

        return dispatched;
    }
}

TEST (PrecisePause, NeverEndsBeforeItsLengthOnAnyThread)
{
    const struct { int ms, times; } lengths[] = { { 1, 50 }, { 2, 20 }, { 33, 3 } };

    for (auto whilePausing : { WhilePausing::sleep, WhilePausing::runMessageLoop })
    {
        for (const auto& length : lengths)
        {
            for (int i = 0; i < length.times; ++i)
                ASSERT_GE (timedPause (length.ms, whilePausing), length.ms) << length.ms << " ms, pause " << i;
        }

        // Off the message thread there is no loop to run: both kinds sleep.
        std::thread elsewhere ([whilePausing]
        {
            for (int i = 0; i < 20; ++i)
                EXPECT_GE (timedPause (1, whilePausing), 1.0) << "pause " << i << " off the message thread";
        });

        elsewhere.join();
    }
}

TEST (PrecisePause, RunningTheLoopDispatchesWhatIsPendingAndStillLastsItsLength)
{
    // The message takes half the pause: a pause that counted time in whole
    // milliseconds of the clock would often end as soon as it returns.
    for (int i = 0; i < 20; ++i)
    {
        const auto dispatched = postBusyMessage (0.5);

        EXPECT_GE (timedPause (1, WhilePausing::runMessageLoop), 1.0) << "pause " << i;
        EXPECT_TRUE (*dispatched) << "pause " << i;
    }
}

TEST (PrecisePause, ASleepingPauseDispatchesNothing)
{
    // The mapping transfer holds the message thread: nothing may run in between.
    const auto dispatched = postBusyMessage (0.0);

    precisePause (2, WhilePausing::sleep);
    EXPECT_FALSE (*dispatched);

    juce::MessageManager::getInstance()->runDispatchLoopUntil (0);
    EXPECT_TRUE (*dispatched);
}

#if JUCE_LINUX
TEST (PrecisePause, GivesTheThreadItsTimerSlackBack)
{
    const auto original = prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0);
    prctl (PR_SET_TIMERSLACK, 123456UL, 0, 0, 0);

    for (auto whilePausing : { WhilePausing::sleep, WhilePausing::runMessageLoop })
    {
        precisePause (1, whilePausing);
        EXPECT_EQ (prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0), 123456);
    }

    prctl (PR_SET_TIMERSLACK, (unsigned long) original, 0, 0, 0);
}
#endif
