#pragma once

#include "core/CtMap.h"
#include "core/MirrorTables.h"
#include "core/SharedFlags.h"
#include "core/Tags.h"
#include "core/TrvPlus.h"

#include <gtest/gtest.h>

#include <cstring>

// The singleton can be created only once per process, so each test puts it
// back into its start-up state instead: factory content in every map (in
// place, so that handles stay valid), "mackie" current, flags at zero. Under
// ctest every test also runs in a process of its own.
class TrvPlusFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Its destruction writes the settings file: only with a throw-away /var.
        if (juce::SystemStats::getEnvironmentVariable ("QUELT_READONLY_DIR", {}).isEmpty())
            GTEST_SKIP() << "run through tests/support/with-private-var.sh (ctest does)";

        trv = TrvPlus::getInstance();

        if (trv == nullptr)
            GTEST_SKIP() << "the singleton was deleted earlier in this process";

        isZoomNorLR = 0;
        isJogLorR = 0;
        displayingExpander = false;
        g_LasPtcl4Usdf = 0;

        for (int m = 0; m < 5; ++m)
        {
            trv->setCtMode (CtMode (m));
            auto live = trv->getCurrentMap().getTree();
            live.copyPropertiesAndChildrenFrom (CtMap (CtMode (m)).getTree(), nullptr);
        }

        trv->setCtMode (CtMode (CtMode::mackie));
        trv->setCurrentOutputDevice ({});
    }

public:
    // The map of a mode, without changing which mode is current.
    static juce::ValueTree liveMap (TrvPlus& t, int mode)
    {
        const auto before = t.getCurrentCtMode();
        t.setCtMode (CtMode (mode));
        auto tree = t.getCurrentMap().getTree();
        t.setCtMode (before);
        return tree;
    }

protected:
    TrvPlus* trv = nullptr;
};

// Every mirror table at one moment, to prove that something left them alone.
struct MirrorSnapshot
{
    MirrorSnapshot()
    {
        std::memcpy (c, cb, sizeof (cb));   std::memcpy (l, lg, sizeof (lg));
        std::memcpy (n, nd, sizeof (nd));   std::memcpy (p, pt, sizeof (pt));
        std::memcpy (bn, HuiBnPairs, sizeof (bn));  std::memcpy (kn, HuiKnPairs, sizeof (kn));
        std::memcpy (fd, HuiFdknPairs, sizeof (fd)); std::memcpy (jg, HuiJogPairs, sizeof (jg));
        std::memcpy (kv, knobVelos, sizeof (kv));
    }

    bool operator== (const MirrorSnapshot& o) const { return std::memcmp (this, &o, sizeof (*this)) == 0; }

    unsigned char c[100][4], l[100][4], n[100][4], p[120][4];
    unsigned char bn[70][2], kn[8][2], fd[9][2], jg[2][2], kv[9][2];
};

// Leaves nothing for LeakSanitizer: the singleton goes when the tests are done.
struct TrvPlusCleanup : ::testing::Environment
{
    void TearDown() override { TrvPlus::deleteInstance(); }
};
