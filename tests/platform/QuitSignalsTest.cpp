#include "platform/QuitSignals.h"

#include "tests/support/QuitSignalsAtStart.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#if ! JUCE_WINDOWS

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

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

#if JUCE_LINUX

// A quit signal lands on whichever thread is running, often one blocked in a
// read or write (a pipe, a MIDI port, a socket): that call must go on, not
// fail with EINTR as if its file had failed. The reader is signalled only
// once the kernel shows it asleep in read, and fed only once the handler has
// run on it, by which point the kernel has already decided between going on
// and failing.
TEST_F (QuitSignalsTest, ABlockingReadGoesOnThroughAQuitSignal)
{
    if (! std::ifstream ("/proc/self/syscall").good())
        GTEST_SKIP() << "no /proc/<pid>/task/<tid>/syscall here: nothing shows when the reader sleeps in read";

    int ends[2];
    ASSERT_EQ (::pipe (ends), 0);

    int requests = 0;
    QuitSignals signals ([&] { ++requests; });

    std::atomic<long> readerId { 0 };
    ssize_t result = 0;
    int error = 0;
    char byte = 0;

    std::thread reader ([&]
    {
        readerId = ::syscall (SYS_gettid);
        result = ::read (ends[0], &byte, 1);
        error = errno;
    });

    const auto finish = [&]
    {
        [[maybe_unused]] const auto written = ::write (ends[1], "x", 1);
        reader.join();
        ::close (ends[0]);
        ::close (ends[1]);
    };

    // The syscall file names the call a sleeping thread is in, then its
    // arguments, the descriptor first (in hex).
    const auto inRead = [&]
    {
        std::ifstream file ("/proc/self/task/" + std::to_string (readerId.load()) + "/syscall");
        long number = -1;
        std::string descriptor;
        file >> number >> descriptor;
        return number == SYS_read && descriptor == "0x" + juce::String::toHexString (ends[0]).toStdString();
    };

    const auto waitFor = [] (auto done)
    {
        const auto deadline = juce::Time::getMillisecondCounter() + 20000;

        while (! done() && juce::Time::getMillisecondCounter() < deadline)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);

        return done();
    };

    if (! waitFor ([&] { return readerId.load() != 0 && inRead(); }))
    {
        finish();
        FAIL() << "the reader never blocked in read";
    }

    ::pthread_kill (reader.native_handle(), SIGTERM);
    const bool handled = waitFor ([&] { return requests > 0; });

    finish();
    EXPECT_TRUE (handled) << "the signal never reached its handler";
    EXPECT_EQ (result, 1) << "read failed: " << std::strerror (error);
    EXPECT_EQ (byte, 'x');
}

#endif

#endif
