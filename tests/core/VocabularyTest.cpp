#include "core/CtKind.h"
#include "core/CtMode.h"
#include "core/CtType.h"
#include "core/Defa.h"
#include "core/StrCat.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST (CtMode, ParsesTrimmedCaseSensitiveSlugsWithMackieFallback)
{
    // The modes' names are held to their texts by the map's tests.
    for (int m = 0; m < 5; ++m)
        EXPECT_EQ (CtMode (CtMode::slugForType (m)).getValue(), m);

    EXPECT_EQ (CtMode::slugForType (2), "pro-tools");
    EXPECT_EQ (CtMode (juce::String (" logic\t")).getValue(), 1);
    EXPECT_EQ (CtMode (juce::String ("Logic")).getValue(), 0);
    EXPECT_EQ (CtMode (juce::String()).getValue(), 0);
    EXPECT_TRUE (CtMode::slugForType (5).isEmpty());
    EXPECT_TRUE (CtMode::nameForType (-1).isEmpty());
}

TEST (CtKindAndType, ParseExactUntrimmedSlugsWithFallbackToZero)
{
    const char* kinds[] { "button", "knob", "jog-wheel", "fader", "master-fader" };

    for (int k = 0; k < 5; ++k)
        EXPECT_EQ (CtKind (juce::String (kinds[k])).getValue(), k);

    for (int t = 0; t < 4; ++t)
        EXPECT_EQ (CtType (CtType::slugForType (t)).getValue(), t);

    EXPECT_EQ (CtType::slugForType (3), "null");
    EXPECT_EQ (CtKind (juce::String (" knob")).getValue(), 0);
    EXPECT_EQ (CtKind (juce::String ("Fader")).getValue(), 0);
    EXPECT_EQ (CtType (juce::String ("NOTE")).getValue(), 0);
    EXPECT_TRUE (CtKind::slugForType (5).isEmpty());
    EXPECT_TRUE (CtType::slugForType (4).isEmpty());
}

TEST (DefaVocabulary, IdsOffTheSurfaceAreButtons)
{
    // Ids 1..89 are held to their kinds by the factory maps' tests.
    for (int cid : { -1, 0, 90 })
        EXPECT_EQ (Defa::kindForCid (cid), 0) << "cid " << cid;
}

TEST (DefaVocabulary, StatusNibblesTypeSlugsAndListIndexes)
{
    EXPECT_EQ (Defa::getMstyStr (14), "pitch");
    EXPECT_TRUE (Defa::getMstyStr (0).isEmpty());
    EXPECT_EQ (Defa::getMstyForSel (1), 11);
    EXPECT_EQ (Defa::getMstyForSel (3), 0);
    EXPECT_EQ (Defa::getMstyForSel (4), 0);
    EXPECT_EQ (Defa::selForMsgType (14), 2);
    EXPECT_EQ (Defa::selForMsgType (0), 0);   // "null" reads back as the first entry
}

TEST (StrCat0, ReturnsFirstWhenNothingToJoinElseANewBuffer)
{
    const char* first = "abc";
    EXPECT_EQ (strcat_0 (first, nullptr), first);
    EXPECT_EQ (strcat_0 (first, "", nullptr), first);

    char* joined = strcat_0 (first, "", "de", nullptr);
    ASSERT_NE (joined, first);
    EXPECT_STREQ (joined, "abcde");
    std::free (joined);
}
