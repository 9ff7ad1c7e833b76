#include "tests/core/ScopedJogState.h"
#include "tests/core/TrvPlusFixture.h"

#include "editor/ControlSection.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    MappableButton* buttonAt (ControlSection& panel, int index)
    {
        return dynamic_cast<MappableButton*> (panel.getChildComponent (index));
    }

    juce::Label* labelAt (ControlSection& panel, int index)
    {
        return dynamic_cast<juce::Label*> (panel.getChildComponent (index));
    }

    int recordValue (TrvPlus& trv, int cid)
    {
        return (int) trv.getCurrentMap().getControlById (cid)[Tags::value];
    }
}

using ControlSectionTest = TrvPlusFixture;

TEST_F (ControlSectionTest, ChildrenComeInTheirOrderBoundToTheirControls)
{
    ControlSection panel;
    ASSERT_EQ (panel.getNumChildComponents(), 38);

    // Labels, twenty buttons, labels, the master fader last.
    const int expectedIds[] = { 53, 52, 51, 50, 49, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 73, 74, 64, 75, 76 };

    for (int i = 0; i < 38; ++i)
    {
        const bool isButton = (i >= 7 && i <= 26) || i == 37;
        ASSERT_EQ (buttonAt (panel, i) != nullptr, isButton) << "child " << i;
        ASSERT_EQ (labelAt (panel, i) != nullptr, ! isButton) << "child " << i;

        if (i >= 7 && i <= 26)
        {
            EXPECT_EQ (buttonAt (panel, i)->cid, expectedIds[i - 7]) << "child " << i;
        }
    }

    EXPECT_EQ (buttonAt (panel, 37)->cid, 85);
    EXPECT_EQ ((int) buttonAt (panel, 37)->kind, (int) CtKind::masterFader);
    EXPECT_EQ ((int) panel.leftJogHalf->kind, (int) CtKind::jogWheel);
    EXPECT_EQ ((int) panel.zoomButton1->kind, (int) CtKind::button);
    EXPECT_EQ (panel.getChildComponent (22), panel.leftJogHalf.get());
    EXPECT_EQ (panel.getChildComponent (26), panel.zoomButton2.get());

    // Spot checks of the layout.
    EXPECT_EQ (panel.getChildComponent (1)->getBounds(), juce::Rectangle<int> (-5, 271, 49, 15));
    EXPECT_EQ (panel.getChildComponent (23)->getBounds(), juce::Rectangle<int> (140, 332, 47, 59));
    EXPECT_EQ (panel.getChildComponent (37)->getBounds(), juce::Rectangle<int> (4, 295, 29, 59));

    // Control 49 is on show but never selectable. The owner makes the panel
    // tall enough for the children below its constructed 400 pixels.
    panel.setSize (450, 554);
    panel.setVisible (true);
    EXPECT_EQ (panel.getComponentAt (50, 400), &panel);
    EXPECT_EQ (panel.getComponentAt (40, 420), labelAt (panel, 6));

    // An edit through a button lands in the current map.
    buttonAt (panel, 12)->setValue (33);
    EXPECT_EQ (recordValue (*trv, 54), 33);
}

TEST_F (ControlSectionTest, CaptionsAndFunctionTextsAfterConstruction)
{
    ControlSection panel;

    EXPECT_EQ (labelAt (panel, 0)->getText(), "(M)");
    EXPECT_EQ (labelAt (panel, 6)->getText(), "Lock");
    EXPECT_EQ (labelAt (panel, 1)->getText(), "PB.9");
    EXPECT_EQ (panel.leftJogHalf->getButtonText(), "CC60");
    EXPECT_EQ (buttonAt (panel, 24)->getButtonText(), " F(7)");

    // Key 54 holds note 48 in its factory row; its text goes to its label only.
    EXPECT_EQ (buttonAt (panel, 12)->getButtonText(), "");
    EXPECT_EQ (labelAt (panel, 27)->getText(), " C(3)");
}

TEST_F (ControlSectionTest, JogHalvesAndCursorsTakeTheValuesOfModeAndZoomState)
{
    struct Expected
    {
        int mode;
        int cursors[4];     // controls 86 to 89
        int halves[3][2];   // controls 73 and 74 at zoom states 0, 1, 2
    };

    const Expected cases[] = {
        { CtMode::mackie,    { 98, 99, 96, 97 }, { { 60, 60 }, { 98, 99 }, { 96, 97 } } },
        { CtMode::proTools,  { 87, 89, 90, 86 }, { { 17, 17 }, { 87, 89 }, { 90, 86 } } },
        { CtMode::usrdefHui, { 54, 20, 14, 61 }, { { 0, 1 }, { 54, 20 }, { 14, 61 } } }
    };

    ScopedJogState jog (0);

    for (const auto& c : cases)
    {
        trv->setCtMode (CtMode (c.mode));
        jog.set (0);
        const int keyBefore = recordValue (*trv, 58);
        ControlSection panel;
        if (c.mode != CtMode::mackie)
        {
            EXPECT_EQ (recordValue (*trv, 58), keyBefore) << "HUI keys keep their values, mode " << c.mode;
        }

        for (int i = 0; i < 4; ++i)
            EXPECT_EQ (recordValue (*trv, 86 + i), c.cursors[i]) << "mode " << c.mode << ", id " << 86 + i;

        for (int z = 0; z < 3; ++z)
        {
            jog.set (z);
            panel.setButtonTypes();
            EXPECT_EQ (panel.leftJogHalf->cid, 73);
            EXPECT_EQ (panel.rightJogHalf->cid, 74);
            EXPECT_EQ (recordValue (*trv, 73), c.halves[z][0]) << "mode " << c.mode << ", zoom " << z;
            EXPECT_EQ (recordValue (*trv, 74), c.halves[z][1]) << "mode " << c.mode << ", zoom " << z;
        }
    }
}

TEST_F (ControlSectionTest, BindingTwiceChangesNothing)
{
    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    ScopedJogState jog (1);
    ControlSection panel;

    const auto once = trv->getCurrentMap().getTree().createCopy();
    const auto texts = panel.leftJogHalf->getButtonText() + "|" + buttonAt (panel, 24)->getButtonText();
    panel.setButtonTypes();

    EXPECT_TRUE (trv->getCurrentMap().getTree().isEquivalentTo (once));
    EXPECT_EQ (panel.leftJogHalf->getButtonText() + "|" + buttonAt (panel, 24)->getButtonText(), texts);
}
