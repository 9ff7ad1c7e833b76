#include "platform/QuitSignals.h"

#include "tests/support/QuitSignalsAtStart.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#if ! JUCE_WINDOWS

#include <csignal>
#include <iterator>

#include <signal.h>

namespace
{
    constexpr int quitSignals[] = { SIGINT, SIGTERM, SIGHUP };

    void someoneElsesHandler (int) {}

    using Handler = void (*) (int);

    Handler handlerOf (int signal)
    {
        struct sigaction current {};
        ::sigaction (signal, nullptr, &current);
        return current.sa_handler;
    }

    void setHandler (int signal, Handler handler)
    {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset (&action.sa_mask);
        ::sigaction (signal, &action, nullptr);
    }


    // Every test leaves the process's dispositions as it found them.
    class QuitSignalsTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            for (size_t i = 0; i < std::size (quitSignals); ++i)
                ::sigaction (quitSignals[i], nullptr, &saved[i]);

            if (startedWithAQuitSignalIgnored)
                GTEST_SKIP() << "started with a quit signal ignored (run it from ctest)";
        }

        void TearDown() override
        {
            for (size_t i = 0; i < std::size (quitSignals); ++i)
                ::sigaction (quitSignals[i], &saved[i], nullptr);
        }

        struct sigaction saved[std::size (quitSignals)] {};
    };
}

TEST_F (QuitSignalsTest, SignalsThatArriveTogetherAreARequestEach)
{
    int requests = 0;
    QuitSignals signals ([&] { ++requests; });

    // All of them before the message loop has had a chance to read one.
    for (int signal : quitSignals)
    {
        std::raise (signal);
        std::raise (signal);
    }

    const auto expected = 2 * (int) std::size (quitSignals);
    const auto deadline = juce::Time::getMillisecondCounter() + 20000;

    while (requests < expected && juce::Time::getMillisecondCounter() < deadline)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

    EXPECT_EQ (requests, expected);
}

TEST_F (QuitSignalsTest, KeepsIgnoredSignalsIgnoredAndPutsBackWhatItFound)
{
    for (int signal : quitSignals)
    {
        for (Handler found : { Handler (someoneElsesHandler), Handler (SIG_DFL), Handler (SIG_IGN) })
        {
            setHandler (signal, found);

            {
                QuitSignals signals ([] {});
                const auto whileInstalled = handlerOf (signal);

                if (found == SIG_IGN)
                    EXPECT_EQ (whileInstalled, SIG_IGN) << "signal " << signal;
                else
                    EXPECT_TRUE (whileInstalled != found && whileInstalled != SIG_DFL && whileInstalled != SIG_IGN)
                        << "signal " << signal;
            }

            EXPECT_EQ (handlerOf (signal), found) << "signal " << signal;
        }
    }
}

TEST_F (QuitSignalsTest, SignalsIgnoredFromNowOnStayIgnoredWhenItGoes)
{
    for (int signal : quitSignals)
        setHandler (signal, SIG_DFL);

    {
        QuitSignals signals ([] {});
        QuitSignals::ignoreFromNowOn();
    }

    for (int signal : quitSignals)
        EXPECT_EQ (handlerOf (signal), SIG_IGN) << "signal " << signal;
}

#endif
