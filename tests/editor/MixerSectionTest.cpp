#include "tests/core/TrvPlusFixture.h"

#include "core/Defa.h"
#include "editor/MixerSection.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    MappableButton* buttonFor (MixerSection& panel, int cid)
    {
        for (auto* child : panel.getChildren())
            if (auto* b = dynamic_cast<MappableButton*> (child); b != nullptr && b->cid == cid)
                return b;

        return nullptr;
    }

    juce::Label* labelOf (MixerSection& panel, int cid)
    {
        return buttonFor (panel, cid)->companionLabel.getComponent();
    }

    juce::var valueOf (TrvPlus& trv, int cid)
    {
        return trv.getCurrentMap().getControlById (cid)[Tags::value];
    }
}

using MixerSectionTest = TrvPlusFixture;

TEST_F (MixerSectionTest, HoldsLabelsThenBoundButtonsInStripsOf94Pixels)
{
    MixerSection panel;
    ASSERT_EQ (panel.getNumChildComponents(), 136);
    panel.setBounds (0, 64, 786, 500);   // the owner's bounds move nothing inside

    juce::SortedSet<int> ids;
    juce::StringArray captions;

    for (int i = 0; i < 136; ++i)
    {
        if (auto* label = dynamic_cast<juce::Label*> (panel.getChildComponent (i)); label && label->getText().startsWith ("("))
            captions.add (label->getText());

        if (auto* b = dynamic_cast<MappableButton*> (panel.getChildComponent (i)))
        {
            EXPECT_GE (i, 72) << "labels come first";
            ids.add (b->cid);
            ASSERT_NE (b->companionLabel.getComponent(), nullptr);
            EXPECT_EQ (b->companionLabel->getText(), b->getLabelText());
            EXPECT_EQ ((int) b->kind, Defa::kindForCid (b->cid));
        }
    }

    EXPECT_EQ (captions.joinIntoString (" "), "(1) (2) (3) (4) (5) (6) (7) (8)");
    EXPECT_EQ (ids.size(), 64);
    EXPECT_TRUE (ids[0] == 1 && ids[47] == 48 && ids[48] == 65 && ids[56] == 77 && ids[63] == 84);

    // Spot checks of strip 1, repeated 94 pixels to the right.
    const std::tuple<int, juce::Rectangle<int>, juce::Rectangle<int>> strip1[] =
    {
        { 65, { 27,  71, 53, 32 }, { 27,  47, 51, 24 } }, { 1, { 80, 350, 26, 26 }, { 68, 375, 49, 15 } },
        { 77, { 38, 253, 29, 59 }, { 29, 229, 49, 15 } },
    };

    for (auto [cid, button, label] : strip1)
    {
        for (int strip = 0; strip < 8; ++strip)
        {
            auto* b = buttonFor (panel, cid + strip);
            EXPECT_EQ (b->getBounds(), button.translated (94 * strip, 0)) << cid + strip;
            EXPECT_EQ (b->companionLabel->getBounds(), label.translated (94 * strip, 0)) << cid + strip;
        }
    }

    // Where rectangles meet, the knob push lies above the knob, the fader above
    // its touch area and every button above every label; elsewhere no button.
    panel.setVisible (true);
    EXPECT_EQ (panel.getComponentAt (40, 102), buttonFor (panel, 33));
    EXPECT_EQ (panel.getComponentAt (40, 311), buttonFor (panel, 77));
    EXPECT_EQ (panel.getComponentAt (40, 120), buttonFor (panel, 33));

    for (auto p : { juce::Point<int> (70, 160), juce::Point<int> (70, 380), juce::Point<int> (5, 5) })
        EXPECT_EQ (dynamic_cast<juce::Button*> (panel.getComponentAt (p)), nullptr) << p.toString();
}

TEST_F (MixerSectionTest, SetButtonTypesRebindsToTheCurrentMapAndPrimesFromItsTable)
{
    MixerSection panel;

    // Mackie Control modes: the channel buttons take their table's data byte;
    // knobs and faders are only rebound.
    for (int cid : { 1, 65, 80 })
        trv->getCurrentMap().getControlById (cid).setProperty (Tags::value, 99, nullptr);

    cb[26][2] = 50;   // control 2
    panel.setButtonTypes();
    EXPECT_EQ ((int) valueOf (*trv, 1), 0);
    EXPECT_EQ ((int) valueOf (*trv, 2), 50);
    EXPECT_EQ (labelOf (panel, 2)->getText(), " D(3)");
    EXPECT_EQ ((int) valueOf (*trv, 65), 99);
    EXPECT_EQ ((int) valueOf (*trv, 80), 99);
    cb[26][2] = 1;

    // The HUI modes keep their values, which index the function lists.
    trv->setCtMode (CtMode (CtMode::proTools));
    panel.setButtonTypes();
    EXPECT_EQ (labelOf (panel, 17)->getText(), "MUTE.1");

    trv->setCtMode (CtMode (CtMode::usrdefHui));
    const auto huiValue = valueOf (*trv, 3);
    panel.setButtonTypes();
    EXPECT_EQ (valueOf (*trv, 3), huiValue);
    EXPECT_EQ (labelOf (panel, 77)->getText(), "VOL.1");

    // Edits land in the map made current last, and only there.
    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    panel.setButtonTypes();
    buttonFor (panel, 12)->setValue (99);
    EXPECT_EQ ((int) valueOf (*trv, 12), 99);
    EXPECT_EQ ((int) CtMap (TrvPlusFixture::liveMap (*trv, CtMode::mackie)).getControlById (12)[Tags::value], 11);
    EXPECT_EQ (cb[20][2], 11);
}

TEST_F (MixerSectionTest, DrawsOnlyTheSelectedButton)
{
    MixerSection panel;
    auto* b = buttonFor (panel, 1);
    const auto centre = b->getBounds().getCentre();
    auto pixel = [&] { return panel.createComponentSnapshot (panel.getLocalBounds()).getPixelAt (centre.x, centre.y); };

    EXPECT_EQ (pixel().getAlpha(), 0);
    b->setToggleState (true, juce::dontSendNotification);
    EXPECT_GT (pixel().getAlpha(), 0);
    EXPECT_GT (pixel().getBlue(), pixel().getRed());
}
