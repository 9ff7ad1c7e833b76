#include "editor/CtModeComboBox.h"
#include "editor/CtPtclComboBox.h"
#include "editor/MapComboBox.h"
#include "tests/core/TrvPlusFixture.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    juce::StringArray itemTexts (const juce::ComboBox& box)
    {
        juce::StringArray texts;

        for (int i = 0; i < box.getNumItems(); ++i)
            texts.add (juce::String (box.getItemId (i)) + ":" + box.getItemText (i));

        return texts;
    }

    // Makes `mode` current the way the editor does: the protocol flag follows
    // the mode, and a user-defined mode remembers it in g_LasPtcl4Usdf.
    void makeCurrent (TrvPlus& trv, int mode)
    {
        trv.setCtMode (CtMode (mode));
        trv.setPtcl (0);
    }
}

class ComboBoxes : public TrvPlusFixture {};

TEST_F (ComboBoxes, ModeBoxPreselectsTheCurrentModeBothUserModesOnItemFour)
{
    const int expectedIndex[] { 0, 1, 2, 3, 3 };

    for (int mode = 0; mode < 5; ++mode)
    {
        makeCurrent (*trv, mode);
        CtModeComboBox box;
        EXPECT_EQ (itemTexts (box), juce::StringArray ("1:1) Mackie", "2:2) Logic Pro", "3:3) Pro Tools", "4:4) User Define"));
        EXPECT_EQ (box.getSelectedItemIndex(), expectedIndex[mode]) << "mode " << mode;
    }
}

TEST_F (ComboBoxes, ModeBoxGivesFactoryModesDirectlyAndUserDefineByTheLastUserProtocol)
{
    CtModeComboBox box;

    for (int index = 0; index < 3; ++index)
    {
        box.setSelectedItemIndex (index, juce::dontSendNotification);
        EXPECT_EQ (box.getSelectedMode().getValue(), index);
    }

    box.setSelectedItemIndex (3, juce::dontSendNotification);

    // Straight after start-up nothing has made HUI the user protocol.
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefMcp);

    // The user switched the protocol box to HUI, then went to a factory mode.
    makeCurrent (*trv, CtMode::usrdefHui);
    makeCurrent (*trv, CtMode::proTools);
    EXPECT_EQ (g_LasPtcl4Usdf, 1);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefHui);

    makeCurrent (*trv, CtMode::usrdefMcp);
    makeCurrent (*trv, CtMode::mackie);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefMcp);
}

TEST_F (ComboBoxes, ModeBoxWithoutSelectionReadsMackieInsteadOfOutsideTheTable)
{
    CtModeComboBox box;
    box.setSelectedId (0, juce::dontSendNotification);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::mackie);

    // A flag holding neither 0 nor 1 must not reach past the table either.
    box.setSelectedItemIndex (3, juce::dontSendNotification);
    g_LasPtcl4Usdf = 7;
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefHui);
    g_LasPtcl4Usdf = 0;
}

TEST_F (ComboBoxes, ProtocolBoxFollowsTheModeAndIsChangeableOnlyInUserModes)
{
    struct Expected { int selectedId; bool enabled; };
    const Expected expected[] { { 1, false }, { 1, false }, { 2, false }, { 1, true }, { 2, true } };

    for (int mode = 0; mode < 5; ++mode)
    {
        makeCurrent (*trv, mode);
        CtPtclComboBox box;
        EXPECT_EQ (itemTexts (box), juce::StringArray ("1:1) MCP", "2:2) HUI"));
        EXPECT_EQ (box.getSelectedId(), expected[mode].selectedId) << "mode " << mode;
        EXPECT_EQ (box.getSelectedPtcl(), expected[mode].selectedId - 1) << "mode " << mode;
        EXPECT_EQ (box.isEnabled(), expected[mode].enabled) << "mode " << mode;
    }
}

TEST (MapComboBox, MappedValueIsZeroUnlessTheSelectedItemHasAValue)
{
    MapComboBox box;
    EXPECT_EQ (box.getMappedValue(), 0);
    EXPECT_TRUE (box.getValues().isEmpty());

    box.addItemList ({ "first", "second", "third" }, 1);
    box.getValues().addArray ({ 40, 41 });
    EXPECT_EQ (box.getMappedValue(), 0) << "nothing selected";

    box.setSelectedItemIndex (1, juce::dontSendNotification);
    EXPECT_EQ (box.getMappedValue(), 41);

    box.setSelectedItemIndex (2, juce::dontSendNotification);
    EXPECT_EQ (box.getMappedValue(), 0) << "beyond the values";

    box.getValues().clear();
    box.clear (juce::dontSendNotification);
    EXPECT_EQ (box.getMappedValue(), 0);
}
