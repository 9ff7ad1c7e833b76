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

    // As the editor makes a mode current: the protocol flag follows the mode,
    // and a user-defined mode remembers it in g_LasPtcl4Usdf.
    void makeCurrent (TrvPlus& trv, int mode)
    {
        trv.setCtMode (CtMode (mode));
        trv.setPtcl (0);
    }
}

class ComboBoxes : public TrvPlusFixture {};

TEST_F (ComboBoxes, BothBoxesFollowTheCurrentModeUserModesOnItemFour)
{
    struct Expected { int modeIndex, ptclId; bool ptclEnabled; };
    const Expected expected[] { { 0, 1, false }, { 1, 1, false }, { 2, 2, false }, { 3, 1, true }, { 3, 2, true } };

    for (int mode = 0; mode < 5; ++mode)
    {
        makeCurrent (*trv, mode);
        CtModeComboBox modeBox;
        CtPtclComboBox ptclBox;
        EXPECT_EQ (itemTexts (modeBox), juce::StringArray ("1:1) Mackie", "2:2) Logic Pro", "3:3) Pro Tools", "4:4) User Define"));
        EXPECT_EQ (itemTexts (ptclBox), juce::StringArray ("1:1) MCP", "2:2) HUI"));
        EXPECT_EQ (modeBox.getSelectedItemIndex(), expected[mode].modeIndex) << "mode " << mode;
        EXPECT_EQ (ptclBox.getSelectedId(), expected[mode].ptclId) << "mode " << mode;
        EXPECT_EQ (ptclBox.getSelectedPtcl(), expected[mode].ptclId - 1) << "mode " << mode;
        EXPECT_EQ (ptclBox.isEnabled(), expected[mode].ptclEnabled) << "mode " << mode;
    }
}

TEST_F (ComboBoxes, ModeBoxGivesUserDefineByTheLastUserProtocolAndNeverReadsPastItsTable)
{
    CtModeComboBox box;
    box.setSelectedItemIndex (2, juce::dontSendNotification);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::proTools);

    // Straight after start-up nothing has made HUI the user protocol.
    box.setSelectedItemIndex (3, juce::dontSendNotification);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefMcp);

    // The user switched the protocol box to HUI, then went to a factory mode.
    makeCurrent (*trv, CtMode::usrdefHui);
    makeCurrent (*trv, CtMode::proTools);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefHui);

    // A flag holding neither 0 nor 1, or no selection at all.
    g_LasPtcl4Usdf = 7;
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::usrdefHui);
    g_LasPtcl4Usdf = 0;
    box.setSelectedId (0, juce::dontSendNotification);
    EXPECT_EQ (box.getSelectedMode().getValue(), (int) CtMode::mackie);
}

TEST (MapComboBox, MappedValueIsZeroUnlessTheSelectedItemHasAValue)
{
    MapComboBox box;
    EXPECT_EQ (box.getMappedValue(), 0);

    box.addItemList ({ "first", "second", "third" }, 1);
    box.getValues().addArray ({ 40, 41 });
    EXPECT_EQ (box.getMappedValue(), 0) << "nothing selected";

    box.setSelectedItemIndex (1, juce::dontSendNotification);
    EXPECT_EQ (box.getMappedValue(), 41);

    box.setSelectedItemIndex (2, juce::dontSendNotification);
    EXPECT_EQ (box.getMappedValue(), 0) << "beyond the values";
}
