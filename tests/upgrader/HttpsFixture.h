#pragma once

#include "upgrader/FirmwareServer.h"
#include "tests/support/LocalHttpsServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <chrono>

// What the catalogue and download tests share: the local HTTPS server as the
// firmware host, scratch folders, and the host's settings put back afterwards.
namespace https_test
{
    inline juce::File scratchFolder (const juce::String& name)
    {
        const auto base = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", {});
        auto root = base.isNotEmpty() ? juce::File (base) : juce::File::getSpecialLocation (juce::File::tempDirectory);
        // A unique name: parallel test processes race between "does it exist" and "create".
        auto folder = root.getChildFile (name + "-" + juce::Uuid().toString());
        folder.createDirectory();
        return folder;
    }

    // Points the upgrader at a server and back at the product's own host.
    struct ScopedRootUrl
    {
        explicit ScopedRootUrl (const juce::String& root)   { zorv::FirmwareServer::setRootUrl (root); }
        ~ScopedRootUrl()                                     { zorv::FirmwareServer::setRootUrl (zorv::FirmwareServer::defaultRootUrl); }
    };

    // The limits every HTTPS test starts from: the product's, but with a
    // generous connection time-out, since a TLS handshake under the sanitizers
    // on a loaded machine may take longer than the product's 2 s. Only the
    // tests of the connection time-out itself shorten it.
    inline zorv::FirmwareServer::TimeLimits testLimits()
    {
        zorv::FirmwareServer::TimeLimits limits;
        limits.connectMs = 20000;
        return limits;
    }

    // Puts other limits in force and the earlier ones back afterwards. A
    // stalled or trickling server then costs a test a moment instead of the
    // product's limits.
    struct ScopedTimeLimits
    {
        explicit ScopedTimeLimits (const zorv::FirmwareServer::TimeLimits& limits)  { zorv::FirmwareServer::setTimeLimits (limits); }
        ~ScopedTimeLimits()                                                         { zorv::FirmwareServer::setTimeLimits (earlier); }

        const zorv::FirmwareServer::TimeLimits earlier = zorv::FirmwareServer::getTimeLimits();
    };

    // The limits in force with one of them changed.
    inline zorv::FirmwareServer::TimeLimits withStall (int ms)
    {
        auto limits = zorv::FirmwareServer::getTimeLimits();
        limits.stallMs = ms;
        return limits;
    }

    inline zorv::FirmwareServer::TimeLimits withConnect (int ms)
    {
        auto limits = zorv::FirmwareServer::getTimeLimits();
        limits.connectMs = ms;
        return limits;
    }

    struct ScopedStallLimit : ScopedTimeLimits
    {
        explicit ScopedStallLimit (int ms) : ScopedTimeLimits (withStall (ms)) {}
    };

    // Watches the message loop's turns in the first stretch of time during
    // which `during` holds: proof that the loop ran then, whatever the
    // machine's speed, and a count of the turns on which `notable` held too.
    class LoopWitness : private juce::Timer
    {
    public:
        explicit LoopWitness (std::function<bool()> duringCondition, std::function<bool()> notableCondition = {})
            : during (std::move (duringCondition)), notable (std::move (notableCondition))
        {
            startTimer (10);
        }

        ~LoopWitness() override     { stopTimer(); }

        // The turns seen; none come after this.
        int stop()                  { stopTimer(); return turns; }
        int notableTurns() const    { return notables; }

    private:
        void timerCallback() override
        {
            if (over)
                return;

            if (! during())
            {
                over = turns > 0;
                return;
            }

            ++turns;

            if (notable != nullptr && notable())
                ++notables;
        }

        std::function<bool()> during, notable;
        int turns = 0, notables = 0;
        bool over = false;
    };

    // A bound that only a hang would break, never a slow machine.
    constexpr double generousSeconds = 60.0;

    inline double secondsSince (std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    }

    class HttpsTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! LocalHttpsServer::findCertificateFolder().isDirectory())
                GTEST_SKIP() << "needs the test CA: run through tests/support/with-test-ca.sh";

            ASSERT_TRUE (server.start()) << server.getError();
            root = std::make_unique<ScopedRootUrl> (server.getRootUrl());
            limits = std::make_unique<ScopedTimeLimits> (testLimits());
        }

        LocalHttpsServer server;
        std::unique_ptr<ScopedRootUrl> root;
        std::unique_ptr<ScopedTimeLimits> limits;
    };
}
