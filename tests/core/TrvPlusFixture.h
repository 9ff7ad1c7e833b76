#pragma once

#include "core/CtMap.h"
#include "core/MirrorSnapshot.h"
#include "core/MirrorTables.h"
#include "core/SharedFlags.h"
#include "core/Tags.h"
#include "core/TrvPlus.h"

#include <gtest/gtest.h>

// The singleton can be created only once per process. The first test of a
// process gets it freshly built; later ones get it put back into its start-up
// state: factory content in every map (in place, so that handles stay valid),
// "mackie" current, flags at zero. Under ctest every test runs in a process
// of its own, so every test sees a freshly built one.
class TrvPlusFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Its destruction writes the settings file: only with a throw-away /var.
        if (juce::SystemStats::getEnvironmentVariable ("QUELT_READONLY_DIR", {}).isEmpty())
            GTEST_SKIP() << "run through tests/support/with-private-var.sh (ctest does)";

        const bool freshlyBuilt = TrvPlus::getInstanceWithoutCreating() == nullptr;
        trv = TrvPlus::getInstance();

        if (trv == nullptr)
            GTEST_SKIP() << "the singleton was deleted earlier in this process";

        if (freshlyBuilt)
            return;

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

// Leaves nothing for LeakSanitizer: the singleton goes when the tests are done.
struct TrvPlusCleanup : ::testing::Environment
{
    void TearDown() override { TrvPlus::deleteInstance(); }
};
