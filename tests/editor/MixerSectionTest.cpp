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

TEST_F (MixerSectionTest, HoldsLabelsThenBoundButtons)
{
    MixerSection panel;
    ASSERT_EQ (panel.getNumChildComponents(), 136);
    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (0, 0, 600, 400));

    juce::StringArray captions;
    juce::SortedSet<int> ids;

    for (int i = 0; i < 136; ++i)
    {
        auto* child = panel.getChildComponent (i);
        EXPECT_TRUE (child->isVisible());

        if (auto* label = dynamic_cast<juce::Label*> (child))
        {
            EXPECT_LT (i, 72);
            EXPECT_EQ (label->getName(), "new label");

            if (label->getText().startsWith ("("))
                captions.add (label->getText());
        }
        else if (auto* b = dynamic_cast<MappableButton*> (child))
        {
            ids.add (b->cid);
            EXPECT_EQ (b->getButtonText(), "");
            ASSERT_NE (b->companionLabel.getComponent(), nullptr);
            EXPECT_EQ (b->companionLabel->getText(), b->getLabelText());
            EXPECT_NE (b->companionLabel->getText(), "");
            EXPECT_EQ ((int) b->kind, Defa::kindForCid (b->cid));
            EXPECT_EQ (b->findColour (juce::TextButton::buttonColourId), juce::Colours::transparentBlack);
            EXPECT_EQ (b->findColour (juce::TextButton::buttonOnColourId), juce::Colour (0x706655A8));
        }
    }

    EXPECT_EQ (captions.joinIntoString (" "), "(1) (2) (3) (4) (5) (6) (7) (8)");
    EXPECT_EQ (ids.size(), 64);
    EXPECT_TRUE (ids[0] == 1 && ids[47] == 48 && ids[48] == 65 && ids[56] == 77 && ids[63] == 84);

    for (int strip = 1; strip <= 8; ++strip)
    {
        EXPECT_EQ (buttonFor (panel, 64 + strip)->getName(), "pan" + juce::String (strip));
        EXPECT_EQ (buttonFor (panel, 40 + strip)->getName(), strip == 1 ? "new button" : "");
        EXPECT_EQ (buttonFor (panel, 76 + strip)->getName(), "new button");
    }
}

TEST_F (MixerSectionTest, PlacesTheStripsAt94PixelSteps)
{
    MixerSection panel;
    panel.setBounds (0, 64, 786, 500);   // the owner's bounds move nothing inside

    const std::tuple<int, juce::Rectangle<int>, juce::Rectangle<int>, float> strip1[] =
    {
        { 65, { 27,  71, 53, 32 }, { 27,  47, 51, 24 }, 15.0f }, { 33, { 28, 102, 50, 21 }, { 28, 118, 51, 24 }, 15.0f },
        { 25, { 76, 216, 33, 34 }, { 68, 246, 49, 15 }, 13.0f }, { 17, { 76, 260, 33, 34 }, { 68, 290, 49, 15 }, 13.0f },
        {  9, { 76, 305, 33, 34 }, { 68, 335, 49, 15 }, 13.0f }, {  1, { 80, 350, 26, 26 }, { 68, 375, 49, 15 }, 13.0f },
        { 77, { 38, 253, 29, 59 }, { 29, 229, 49, 15 }, 15.0f }, { 41, { 38, 311, 29, 33 }, { 29, 350, 49, 15 }, 15.0f },
    };

    for (auto [cid, button, label, fontSize] : strip1)
    {
        for (int strip = 0; strip < 8; ++strip)
        {
            auto* b = buttonFor (panel, cid + strip);
            EXPECT_EQ (b->getBounds(), button.translated (94 * strip, 0)) << cid + strip;
            EXPECT_EQ (b->companionLabel->getBounds(), label.translated (94 * strip, 0)) << cid + strip;
            EXPECT_NEAR (b->companionLabel->getBounds().toFloat().getCentreX(), b->getBounds().toFloat().getCentreX(), 1.0);
            EXPECT_EQ (b->companionLabel->getFont().getHeight(), fontSize) << cid + strip;
        }
    }

    EXPECT_EQ (labelOf (panel, 20)->findColour (juce::Label::backgroundColourId), juce::Colour (0x0AFFFFFF));
    EXPECT_FALSE (labelOf (panel, 66)->isColourSpecified (juce::Label::backgroundColourId));

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
    EXPECT_EQ (labelOf (panel, 1)->getText(), "REC1");
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
