#include "upgrader/HttpsFetch.h"
#include "upgrader/WizardFlags.h"

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

    // The longest the message loop went without a turn while it watched.
    class LoopStallMeter : private juce::Timer
    {
    public:
        LoopStallMeter()            { startTimer (5); }
        ~LoopStallMeter() override  { stopTimer(); }

        double longestSeconds()     { timerCallback(); stopTimer(); return longest; }

    private:
        void timerCallback() override
        {
            const auto now = Clock::now();
            longest = juce::jmax (longest, secondsBetween (last, now));
            last = now;
        }

        Clock::time_point last = Clock::now();
        double longest = 0.0;
    };

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

    // Far below the 30 s a lookup takes here, far above what a loaded
    // machine needs to drop a transfer.
    constexpr double promptly = 2.0;

    // The longest the product lets the window stand still while it waits
    // for the network, giving up included.
    constexpr double longestStall = 0.25;
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
    shortConnection.connectionTimeoutMs = 300;
    auto shortWhole = patient;
    shortWhole.wholeLimitMs = 300;

    // Each ends by its own rule: a lookup that failed at once would end
    // otherwise, and prove nothing.
    struct Case { const char* name; zorv::HttpsFetch::Rules rules; bool givenUp; const char* failure; };
    const Case cases[] = {
        { "Escape",                 patient,            true,   "given up" },
        { "connection time-out",    shortConnection,    false,  "no answer within 300 ms" },
        { "whole-answer limit",     shortWhole,         false,  "not finished within 300 ms" },
    };

    for (const auto& c : cases)
    {
        // The shorter stall of two runs: a busy machine may hold the process
        // back once, a fetch that stalls the loop does so every time.
        double stall = 1.0e9;

        for (int run = 0; run < 2; ++run)
        {
            zorv::bEsc = false;
            auto due = Clock::now() + std::chrono::milliseconds (300);
            EscapeAfter escape (300, due, c.givenUp);

            LoopStallMeter meter;
            const auto answer = zorv::HttpsFetch::get (url, c.rules);
            const auto end = Clock::now();
            const auto longest = meter.longestSeconds();
            stall = juce::jmin (stall, longest);

            std::cout << c.name << ": returned " << secondsBetween (due, end) << " s after it was due;"
                      << " longest stall of the message loop " << longest << " s" << std::endl;

            EXPECT_EQ (answer.failure, c.failure) << c.name;
            EXPECT_EQ (answer.status, 0) << c.name;
            EXPECT_LT (secondsBetween (due, end), promptly) << c.name;
        }

        EXPECT_LT (stall, longestStall) << c.name;
    }

    zorv::bEsc = false;
    bSerial = false;
}
