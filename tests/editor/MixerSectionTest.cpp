#include "tests/core/TrvPlusFixture.h"

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

    juce::StringArray captions;
    int buttons = 0;

    for (int i = 0; i < 136; ++i)
    {
        if (auto* label = dynamic_cast<juce::Label*> (panel.getChildComponent (i)); label && label->getText().startsWith ("("))
            captions.add (label->getText());

        if (auto* b = dynamic_cast<MappableButton*> (panel.getChildComponent (i)))
        {
            EXPECT_GE (i, 72) << "labels come first";
            ++buttons;
            EXPECT_TRUE (b->getButtonText().isEmpty()) << b->cid;
        }
    }

    EXPECT_EQ (captions.joinIntoString (" "), "(1) (2) (3) (4) (5) (6) (7) (8)");
    EXPECT_EQ (buttons, 64);

    // The eight controls of a strip: id of strip n is n plus the offset; the
    // "mackie" assignment shown in strips 1 and 8; rectangles of strip 1,
    // repeated 94 pixels to the right.
    struct Control
    {
        int idOffset;
        int kind;
        const char* strip1;
        const char* strip8;
        juce::Rectangle<int> button, label;
    };

    const Control strip[] =
    {
        { 64, CtKind::knob,   "CC16",   "CC23",   { 27,  71, 53, 32 }, { 27,  47, 51, 24 } },
        { 32, CtKind::button, "G#(1)",  "D#(2)",  { 28, 102, 50, 21 }, { 28, 118, 51, 24 } },
        { 24, CtKind::button, " C(1)",  " G(1)",  { 76, 216, 33, 34 }, { 68, 246, 49, 15 } },
        { 16, CtKind::button, " E(0)",  " B(0)",  { 76, 260, 33, 34 }, { 68, 290, 49, 15 } },
        {  8, CtKind::button, "G#(-1)", "D#(0)",  { 76, 305, 33, 34 }, { 68, 335, 49, 15 } },
        {  0, CtKind::button, " C(-1)", " G(-1)", { 80, 350, 26, 26 }, { 68, 375, 49, 15 } },
        { 76, CtKind::fader,  "PB.1",   "PB.8",   { 38, 253, 29, 59 }, { 29, 229, 49, 15 } },
        { 40, CtKind::button, "G#(7)",  "D#(8)",  { 38, 311, 29, 33 }, { 29, 350, 49, 15 } },
    };

    for (const auto& c : strip)
    {
        for (int n = 1; n <= 8; ++n)
        {
            const int cid = c.idOffset + n;
            auto* b = buttonFor (panel, cid);
            ASSERT_NE (b, nullptr) << cid;
            ASSERT_NE (b->companionLabel.getComponent(), nullptr) << cid;
            EXPECT_EQ ((int) b->kind, c.kind) << cid;
            EXPECT_EQ (b->getBounds(), c.button.translated (94 * (n - 1), 0)) << cid;
            EXPECT_EQ (b->companionLabel->getBounds(), c.label.translated (94 * (n - 1), 0)) << cid;

            if (n == 1 || n == 8)
            {
                EXPECT_EQ (b->companionLabel->getText(), n == 1 ? c.strip1 : c.strip8) << cid;
            }
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
