#include "core/CidSorter.h"
#include "core/CtMap.h"
#include "core/MirrorTables.h"
#include "core/Tags.h"

#include "tests/core/ScopedJogState.h"
#include "tests/core/SurfaceLayout.h"

#include <gtest/gtest.h>

namespace
{
    using SurfaceLayout::rowOf;

    struct Record
    {
        juce::String type;
        int chan, data, velo;
    };

    // The factory record of a row in the Mackie Control modes, as the map reads it.
    Record factoryRecord (int row)
    {
        const auto r = SurfaceLayout::factoryRecord (row);
        return { r[0] == 9 ? "note" : r[0] == 11 ? "cc" : "pitch", (r[1] & 0x0F) + 1, r[2], r[3] };
    }

    struct Expected
    {
        juce::String type;
        int chan, value, value1, value2, velo;
    };

    Expected expectedMackieControl (int id, int jogState)
    {
        const int row = rowOf (id, jogState);
        const auto record = factoryRecord (row);
        const int slot = row - 1;
        const bool isButton = id <= 64 || id == 75 || id == 76 || id >= 86;
        const bool isJog = id == 73 || id == 74;

        int pairValue = 0;

        if (isButton)
            pairValue = slot < 40 ? slot : record.data;
        else if (isJog && jogState != 0)
            pairValue = slot;

        return { record.type, record.chan, record.data, pairValue, pairValue, record.velo };
    }

    int proToolsButtonDefault (int index)
    {
        static const int defaults[24] { 59, 60, 61, 62, 63, 64, 65, 66, 18, 111, 109, 74,
                                        18, 102, 104, 103, 105, 92, 93, 95, 94, 96, 97, 91 };
        if (index <= 39) return index + 19;
        return index - 40 < 24 ? defaults[index - 40] : 0;
    }

    int proToolsJogKey (int id, int jogState)
    {
        if (jogState == 0) return 17;
        if (jogState == 1) return id == 73 ? 87 : 89;   // Left?, Right?
        return id == 73 ? 90 : 86;                      // Up?, Down?
    }

    Expected expectedProTools (int id, int jogState)
    {
        const int row = rowOf (id, jogState);
        const auto record = factoryRecord (row);
        const int slot = row - 1;

        int value = 0, pairValue = 0;

        if (id <= 64 || id == 75 || id == 76 || id >= 86)
        {
            const int listIndex = id <= 64 ? id - 1 : (id <= 76 ? id - 29 : 155 - id);
            value = proToolsButtonDefault (listIndex);
            pairValue = proToolsButtonDefault (slot);
        }
        else if (id <= 72)  { value = id - 56; pairValue = id - 65; }
        else if (id <= 74)  { value = pairValue = proToolsJogKey (id, jogState); }
        else if (id <= 84)  { value = id - 77; pairValue = id - 77; }
        else                { value = 8; pairValue = 8; }

        return { "cc", record.chan, value, pairValue, pairValue, record.velo };
    }

    struct HuiFunction
    {
        int value, value1, value2;
    };

    // The factory function of every control in "usrdef-hui": index in its
    // kind's pair list and the pair itself.
    HuiFunction userHuiFunction (int id)
    {
        if (id <= 8)   return { 88 + id - 1, id - 1, 0x47 };   // REC
        if (id <= 16)  return { 41 + id - 9, id - 9, 0x43 };   // SOLO
        if (id <= 24)  return { 24 + id - 17, id - 17, 0x42 }; // MUTE
        if (id <= 32)  return { 78 + id - 25, id - 25, 0x41 }; // SEL
        if (id <= 40)  return { 65 + id - 33, id - 33, 0x44 }; // MON

        static const HuiFunction ids41To56[16]
        {
            { 10, 9, 0x40 }, { 40, 24, 0x42 }, { 64, 24, 0x44 }, { 0, 29, 0x47 },
            { 51, 10, 0x43 }, { 18, 10, 0x41 }, { 34, 10, 0x42 }, { 11, 10, 0x40 },
            { 21, 14, 0x41 }, { 38, 14, 0x42 }, { 55, 14, 0x43 }, { 62, 14, 0x44 },
            { 56, 15, 0x43 }, { 76, 14, 0x45 }, { 37, 13, 0x42 }, { 37, 13, 0x42 }
        };

        if (id <= 56)  return ids41To56[id - 41];
        if (id <= 64)  return { 0, 29, 0x47 };
        if (id <= 72)  return { id - 65, 64, id - 65 };        // PAN.n
        if (id == 73)  return { 0, 13, 0 };                    // Tape Back
        if (id == 74)  return { 1, 13, 64 };                   // Tape Fwd
        if (id == 75)  return { 20, 13, 0x41 };                // Right
        if (id == 76)  return { 54, 13, 0x43 };                // Left
        if (id <= 85)  return { id - 77, 32, id - 77 };        // VOL.n, VOL.M

        static const HuiFunction ids86To89[4] { { 54, 13, 0x43 }, { 20, 13, 0x41 }, { 14, 13, 0x40 }, { 61, 13, 0x44 } };
        return ids86To89[id - 86];
    }

    Expected expectedUserHui (int id, int jogState)
    {
        const auto record = factoryRecord (rowOf (id, jogState));
        const auto function = userHuiFunction (id);
        return { "cc", record.chan, function.value, function.value1, function.value2, record.velo };
    }

    Expected expectedFor (int mode, int id, int jogState)
    {
        if (mode == 2) return expectedProTools (id, jogState);
        if (mode == 4) return expectedUserHui (id, jogState);
        return expectedMackieControl (id, jogState);
    }

    void expectControl (const juce::ValueTree& control, const Expected& expected)
    {
        EXPECT_EQ (control[Tags::type].toString(), expected.type);
        EXPECT_EQ ((int) control[Tags::chan], expected.chan);
        EXPECT_EQ ((int) control[Tags::value], expected.value);
        EXPECT_EQ ((int) control[Tags::v1], expected.value1);
        EXPECT_EQ ((int) control[Tags::v2], expected.value2);
        EXPECT_EQ ((int) control[Tags::velo], expected.velo);
    }

    const char* kindSlugOf (int id)
    {
        return (id >= 65 && id <= 72) ? "knob" : (id == 73 || id == 74) ? "jog-wheel"
             : (id >= 77 && id <= 84) ? "fader" : id == 85 ? "master-fader" : "button";
    }

    struct CtMapTest : public ::testing::Test
    {
        ScopedJogState jog { 0 };
    };
}

TEST_F (CtMapTest, FactoryMapsOfEveryModeInEveryJogState)
{
    for (int jogState = 0; jogState < 3; ++jogState)
    {
        jog.set (jogState);

        // Built in the model's order: the HUI modes read the "mackie" records.
        for (int mode = 0; mode < 5; ++mode)
        {
            CtMap map { CtMode (mode) };

            for (int id = 1; id <= 89; ++id)
            {
                SCOPED_TRACE (juce::String ("mode ") + CtMode::slugForType (mode) + " state "
                              + juce::String (jogState) + " id " + juce::String (id));

                const auto control = map.getControlById (id);
                ASSERT_TRUE (control.isValid());
                EXPECT_EQ (control[Tags::kind].toString(), kindSlugOf (id));
                expectControl (control, expectedFor (mode, id, jogState));
            }
        }
    }
}

TEST_F (CtMapTest, MapIdentityPerMode)
{
    const char* names[] { "Mackie", "Logic Pro", "Pro Tools", "User Define", "User Define" };

    for (int mode = 0; mode < 5; ++mode)
    {
        CtMap map { CtMode (mode) };
        const auto tree = map.getTree();

        EXPECT_TRUE (tree.hasType (Tags::map));
        EXPECT_EQ (tree[Tags::mode].toString(), CtMode::slugForType (mode));
        EXPECT_EQ (tree[Tags::name].toString(), names[mode]);
        EXPECT_EQ ((int) tree[Tags::ptcl], (mode == 2 || mode == 4) ? 1 : 0);
        EXPECT_EQ (map.getCtMode().getValue(), mode);
    }

    CtMap defaultMap;
    EXPECT_EQ (defaultMap.getCtMode().getValue(), 0);
    expectControl (defaultMap.getControlById (85), { "pitch", 9, 0, 0, 0, 0 });
}

TEST_F (CtMapTest, TreeLayoutAndPropertyOrder)
{
    CtMap map { CtMode (3) };
    const auto tree = map.getTree();

    ASSERT_EQ (tree.getNumProperties(), 3);
    EXPECT_EQ (tree.getPropertyName (0), Tags::mode);
    EXPECT_EQ (tree.getPropertyName (1), Tags::name);
    EXPECT_EQ (tree.getPropertyName (2), Tags::ptcl);

    ASSERT_EQ (tree.getNumChildren(), 1);
    const auto controls = tree.getChild (0);
    EXPECT_TRUE (controls.hasType (Tags::controls));
    ASSERT_EQ (controls.getNumChildren(), 89);

    const juce::Identifier order[] { Tags::cid, Tags::kind, Tags::type, Tags::chan,
                                     Tags::value, Tags::v1, Tags::v2, Tags::velo };

    for (int i = 0; i < 89; ++i)
    {
        const auto control = controls.getChild (i);
        EXPECT_TRUE (control.hasType (Tags::control));
        EXPECT_EQ ((int) control[Tags::cid], i + 1);
        ASSERT_EQ (control.getNumProperties(), 8);

        for (int p = 0; p < 8; ++p)
            EXPECT_EQ (control.getPropertyName (p), order[p]);
    }
}

TEST_F (CtMapTest, CopiesAndWrappersShareOneTree)
{
    CtMap map { CtMode (0) };
    CtMap copy = map;
    CtMap wrapper (map.getTree());

    copy.getControlById (5).setProperty (Tags::value, 42, nullptr);
    EXPECT_EQ ((int) map.getControlById (5)[Tags::value], 42);
    EXPECT_EQ ((int) wrapper.getControlById (5)[Tags::value], 42);
}

TEST_F (CtMapTest, LookupsOfMissingControlsAreInvalid)
{
    CtMap map;
    EXPECT_FALSE (map.getControlById (0).isValid());
    EXPECT_FALSE (map.getControlById (90).isValid());
    EXPECT_FALSE (map.getControl (89).isValid());

    // A map read back from a file holds its ids as text.
    map.getControl (10).setProperty (Tags::cid, "11", nullptr);
    EXPECT_EQ (map.getControlById (11), map.getControl (10));
}

TEST_F (CtMapTest, ResetOfMackieRefillsTheUserTableButNotTheUserMap)
{
    CtMap mackie { CtMode (0) };
    CtMap userMcp { CtMode (3) };

    userMcp.getControlById (1).setProperty (Tags::value, 77, nullptr);
    nd[25][2] = 77;
    knobVelos[0][0] = 5;

    mackie.reset();

    EXPECT_EQ (nd[25][2], 0);
    EXPECT_EQ (knobVelos[0][0], 64);
    EXPECT_EQ ((int) userMcp.getControlById (1)[Tags::value], 77);
}

TEST_F (CtMapTest, ResetFollowsEachControlsOwnIdAndSkipsMissingOnes)
{
    CtMap map { CtMode (0) };
    auto controls = map.getTree().getChildWithName (Tags::controls);

    controls.removeChild (0, nullptr);                // id 1 gone, id 2 at position 0
    controls.getChild (3).setProperty (Tags::value, 123, nullptr);

    map.reset();

    EXPECT_EQ (controls.getNumChildren(), 88);
    EXPECT_EQ ((int) controls.getChild (0)[Tags::cid], 2);
    EXPECT_EQ ((int) controls.getChild (0)[Tags::value], 1);
    EXPECT_EQ ((int) controls.getChild (3)[Tags::value], 4);
}

TEST_F (CtMapTest, GetControlsSortsEachKindById)
{
    CtMap map;
    auto controls = map.getTree().getChildWithName (Tags::controls);
    controls.getChild (79).setProperty (Tags::kind, "Fader", nullptr);   // id 80
    controls.moveChild (70, 0, nullptr);                                 // knob 71 first

    juce::Array<juce::ValueTree> buttons, knobs, jogs, faders, masters;
    buttons.add (juce::ValueTree (Tags::control));                       // kept: not cleared
    map.getControls (buttons, knobs, jogs, faders, masters);

    ASSERT_EQ (faders.size(), 7);
    ASSERT_EQ (buttons.size(), 1 + 70 + 1);

    for (auto* list : { &buttons, &knobs, &jogs, &faders })
        for (int i = 1; i < list->size(); ++i)
            EXPECT_LT ((int) (*list)[i - 1][Tags::cid], (int) (*list)[i][Tags::cid]);

    EXPECT_EQ ((int) knobs[0][Tags::cid], 65);
    EXPECT_TRUE (buttons.contains (controls.getChildWithProperty (Tags::cid, 80)));
}

TEST (CidSorter, OrdersByIdWithoutOverflow)
{
    juce::ValueTree a (Tags::control), b (Tags::control);
    a.setProperty (Tags::cid, 3, nullptr);
    b.setProperty (Tags::cid, "10", nullptr);
    EXPECT_EQ (CidSorter::compareElements (a, b), -7);

    a.setProperty (Tags::cid, std::numeric_limits<int>::min(), nullptr);
    b.setProperty (Tags::cid, 1, nullptr);
    EXPECT_LT (CidSorter::compareElements (a, b), 0);
    EXPECT_GT (CidSorter::compareElements (b, a), 0);
}
