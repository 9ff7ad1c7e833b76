#include "upgrader/HttpsFetch.h"
#include "upgrader/WizardFlags.h"
#include "tests/support/LoopGapMeter.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <chrono>
#include <iostream>

// A host name whose lookup hangs (tests/support/with-silent-dns.sh): giving up
// and every time limit hand the thread back at once, and the window's loop
// keeps running meanwhile.
namespace
{
    using Clock = std::chrono::steady_clock;

    double secondsBetween (Clock::time_point from, Clock::time_point to)
    {
        return std::chrono::duration<double> (to - from).count();
    }

    // Presses Escape (gives up, as the wizard's Escape does) after `ms`,
    // noting when, unless it is gone by then.
    class EscapeAfter : private juce::Timer
    {
    public:
        EscapeAfter (int ms, Clock::time_point& pressedAt, bool armed) : pressed (pressedAt)
        {
            if (armed)
                startTimer (ms);
        }

        ~EscapeAfter() override     { stopTimer(); }

    private:
        void timerCallback() override
        {
            stopTimer();
            zorv::giveUp();
            pressed = Clock::now();
        }

        Clock::time_point& pressed;
    };

    // Each case waits this long before its rule ends it: time enough for a
    // loaded machine to turn the loop many times.
    constexpr int waitMs = 3000;

    // Far below the 30 s a lookup takes here, far above what a loaded
    // machine needs to drop a transfer.
    constexpr double promptly = 10.0;

    // A loop that stood still for half the wait has stopped turning, not
    // been held back by a busy machine. (How long the window stands still
    // at most, 250 ms, is measured by bench/DownloadLoopBench.cpp.)
    constexpr double longestStall = waitMs / 2000.0;
}

TEST (SilentNameServer, GivingUpAndEachTimeLimitEndTheLookupAtOnce)
{
    if (juce::SystemStats::getEnvironmentVariable ("QUELT_SILENT_DNS", {}).isEmpty())
        GTEST_SKIP() << "needs the silent name server: run through tests/support/with-silent-dns.sh";

    juce::DatagramSocket nameServer;
    ASSERT_TRUE (nameServer.bindToPort (53, "127.0.0.1"));

    const juce::URL url ("https://firmware.never-resolves.test/firmware.xml");

    zorv::HttpsFetch::Rules patient;
    patient.maxBodyBytes = 1024;
    patient.connectionTimeoutMs = 60000;
    patient.stallLimitMs = 60000;

    auto shortConnection = patient;
    shortConnection.connectionTimeoutMs = waitMs;
    auto shortWhole = patient;
    shortWhole.wholeLimitMs = waitMs;

    // Each ends by its own rule: a lookup that failed at once would end
    // otherwise, and prove nothing.
    struct Case { const char* name; zorv::HttpsFetch::Rules rules; bool givenUp; const char* failure; };
    const Case cases[] = {
        { "Escape",                 patient,            true,   "given up" },
        { "connection time-out",    shortConnection,    false,  "no answer within 3000 ms" },
        { "whole-answer limit",     shortWhole,         false,  "not finished within 3000 ms" },
    };

    for (const auto& c : cases)
    {
        zorv::bEsc = false;
        auto due = Clock::now() + std::chrono::milliseconds (waitMs);
        EscapeAfter escape (waitMs, due, c.givenUp);

        LoopGapMeter meter (5);
        const auto answer = zorv::HttpsFetch::get (url, c.rules);
        const auto end = Clock::now();
        const auto longest = meter.longestSeconds();

        std::cout << c.name << ": returned " << secondsBetween (due, end) << " s after it was due;"
                  << " longest stall of the message loop " << longest << " s" << std::endl;

        EXPECT_EQ (answer.failure, c.failure) << c.name;
        EXPECT_EQ (answer.status, 0) << c.name;
        EXPECT_LT (secondsBetween (due, end), promptly) << c.name;
        EXPECT_LT (longest, longestStall) << c.name;
    }

    zorv::bEsc = false;
    bSerial = false;
}
