#include "tests/core/ScopedJogState.h"
#include "tests/core/SurfaceLayout.h"
#include "tests/core/TrvPlusFixture.h"

#include "core/Defa.h"
#include "editor/AidForCid.h"
#include "editor/MappableButton.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // usrdef-hui slots of ids 0 to 89.
    constexpr int expectedHuiSlots[90] =
    {
         0, 24, 25, 26, 27, 28, 29, 30, 31, 16, 17, 18, 19, 20, 21, 22, 23,  8,  9, 10, 11, 12, 13, 14, 15,
         0,  1,  2,  3,  4,  5,  6,  7, 57, 58, 59, 60, 61, 62, 63, 64, 32, 33, 34, 35, 36, 37, 38, 39,
        40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 65, 66, 67, 74, 75, 70, 71,
        79, 78, 68, 69, 76, 77, 72, 73, 80, 81, 82, 83, 84, 69, 68, 67, 66
    };

    // The usrdef-hui pair that mirrors a control's two values: a button's is
    // the pair of its slot (the slots past the table's end have none); a jog
    // half's, knob's or fader's the pair of its own number.
    unsigned char* huiPairOf (int kind, int cid)
    {
        switch (kind)
        {
            case CtKind::button:    return expectedHuiSlots[cid] < 70 ? HuiBnPairs[expectedHuiSlots[cid]] : nullptr;
            case CtKind::jogWheel:  return cid == 73 || cid == 74 ? HuiJogPairs[cid - 73] : nullptr;
            case CtKind::knob:      return cid >= 65 && cid <= 72 ? HuiKnPairs[cid - 65] : nullptr;
            default:                return cid >= 77 && cid <= 85 ? HuiFdknPairs[cid - 77] : nullptr;
        }
    }

    // A button as the panels make one: companion label first, then the binding.
    struct BoundButton
    {
        BoundButton (TrvPlus& trv, int cid, bool withLabel = true)
        {
            if (withLabel)
                button.companionLabel = &label;

            button.kind = CtKind (Defa::kindForCid (cid));
            button.setMapping (trv.getCurrentMap().getControlById (cid));
        }

        juce::var property (const juce::Identifier& name) const { return TrvPlus::getInstance()->getCurrentMap().getControlById (button.cid)[name]; }
        juce::String text() const                               { return label.getText(); }

        juce::Label label;
        MappableButton button { "b" };
    };

    const CtMode hui (CtMode::usrdefHui);
}

using MappableButtonTest = TrvPlusFixture;

TEST (AidForCid, IsTheRecordRowMinusOneOrTheHuiSlotForEveryIdAndMode)
{
    ScopedJogState jog (0);

    for (int mode = 0; mode < 5; ++mode)
        for (int kind = 0; kind < 5; ++kind)
            for (int cid = 0; cid < 90; ++cid)
                EXPECT_EQ (aidForCid (CtMode (mode), CtKind (kind), cid),
                           mode == CtMode::usrdefHui && (kind == CtKind::button || kind == CtKind::jogWheel)
                               ? expectedHuiSlots[cid] : SurfaceLayout::rowOf (cid) - 1)
                    << "mode " << mode << " kind " << kind << " id " << cid;

    jog.set (1);
    EXPECT_EQ (aidForCid (CtMode (CtMode::mackie), CtKind (CtKind::jogWheel), 73), 68);
    EXPECT_EQ (aidForCid (hui, CtKind (CtKind::jogWheel), 73), 79);

    for (int cid : { -1, 90, 1000 })
        EXPECT_EQ (aidForCid (hui, CtKind (CtKind::button), cid), 98) << cid;
}

TEST_F (MappableButtonTest, SettersWriteTheRecordAndTheMackieControlTableRow)
{
    unsigned char (*const tables[])[4] = { cb, lg, cb, nd, cb };

    for (int mode = 0; mode < 5; ++mode)
    {
        trv->setCtMode (CtMode (mode));
        BoundButton b (*trv, 3);   // row 27: note 2
        const bool mackieControl = mode != CtMode::proTools && mode != CtMode::usrdefHui;
        auto* row = tables[mode][27];
        row[1] = 0x92;             // channel 3

        b.button.setValue (60);
        b.button.setMsgType (11);
        EXPECT_EQ (row[1], mackieControl ? 0xB2 : 0x92) << mode;
        b.button.setChan (16);

        EXPECT_EQ ((int) b.property (Tags::value), 60);
        EXPECT_EQ (b.property (Tags::type).toString(), "cc");
        EXPECT_EQ ((int) b.property (Tags::chan), 16);

        if (mackieControl)
        {
            EXPECT_EQ (row[0], 11);
            EXPECT_EQ (row[1], 0xBF);
            EXPECT_EQ (row[2], 60);
            EXPECT_EQ (b.text(), "CC60");
            b.button.setChan (0);   // must not spill into the status nibble
            EXPECT_EQ (row[1] & 0xF0, 0xB0);
        }
    }
}

TEST_F (MappableButtonTest, SetMsgTypeStoresTheSlugOfTheNibble)
{
    BoundButton b (*trv, 3);

    const std::tuple<int, const char*, const char*> cases[] =
    {
        { 14, "pitch", "PB.1" }, { 0, "null", "" }, { 5, "", "ErrMidiMsgType" }, { 9, "note", " D(-1)" }
    };

    for (auto [nibble, slug, text] : cases)
    {
        b.button.setMsgType (nibble);
        EXPECT_EQ (b.property (Tags::type).toString(), slug) << nibble;
        EXPECT_EQ (b.text(), text) << nibble;
    }
}

TEST_F (MappableButtonTest, SetVeloKeepsRotationBytesOfKnobsAndJogWheelOnly)
{
    trv->setCtMode (CtMode (CtMode::usrdefMcp));

    BoundButton knob (*trv, 65);    // controller 16: column 0
    knob.button.setVelo (100);
    EXPECT_EQ (knobVelos[0][0], 100);
    EXPECT_EQ (nd[71][3], 100);
    EXPECT_EQ ((int) knob.property (Tags::velo), 100);

    knob.button.setValue (30);      // any other controller: column 1
    knob.button.setVelo (1);
    EXPECT_EQ (knobVelos[0][1], 1);

    BoundButton jog (*trv, 73);     // controller 60: row 8, column 0
    jog.button.setVelo (127);
    EXPECT_EQ (knobVelos[8][0], 127);
}

TEST_F (MappableButtonTest, SetV1orV2KeepsTheUsrdefHuiPairsInStep)
{
    trv->setCtMode (hui);

    BoundButton button (*trv, 41);  // HUI slot 32, not record row 81
    button.button.setV1orV2 (hui, CtKind (CtKind::button), 8, 1);
    EXPECT_EQ (HuiBnPairs[32][0], 8);
    EXPECT_EQ ((int) button.property (Tags::v1), 8);
    EXPECT_EQ (button.text(), "Ctrl");

    BoundButton right (*trv, 74);
    right.button.setV1orV2 (hui, CtKind (CtKind::jogWheel), 0, 2);
    EXPECT_EQ (HuiJogPairs[1][1], 0);
    EXPECT_EQ (right.text(), "Tape Back");

    BoundButton knob (*trv, 72);
    knob.button.setV1orV2 (hui, CtKind (CtKind::knob), 3, 2);
    EXPECT_EQ (HuiKnPairs[7][1], 3);
    EXPECT_EQ (knob.text(), "PAN.4");

    // Any other "which" means value2.
    button.button.setV1orV2 (hui, CtKind (CtKind::button), 9, 3);
    EXPECT_EQ ((int) button.property (Tags::v2), 9);
}

TEST_F (MappableButtonTest, NoSetterWritesOutsideItsTables)
{
    // Any id a mapping file may hold, with any kind, in every mode and jog
    // state, through every setter. Afterwards every table must be as it was
    // but for the control's own bytes: its row of the mode's record table (in
    // the Mackie Control modes; the velocity in "usrdef-mcp" only), its
    // rotation bytes (knobs and jog halves) and its pair (in "usrdef-hui").
    // Ids that name no control write nothing.
    unsigned char (*const tables[])[4] = { cb, lg, nullptr, nd, nullptr };

    for (int mode = 0; mode < 5; ++mode)
    {
        trv->setCtMode (CtMode (mode));

        for (int zoom = 0; zoom < 3; ++zoom)
        {
            ScopedJogState jog (zoom);

            for (int cid = -3; cid <= 95; ++cid)
            {
                juce::ValueTree record (Tags::control);
                record.setProperty (Tags::cid, cid, nullptr);

                for (int kind = 0; kind < 5; ++kind)
                {
                    const MirrorSnapshot before;
                    MappableButton b ("b");
                    b.kind = CtKind (kind);
                    b.setMapping (record);
                    b.setValue (60);    // a controller of the rotation bytes' column 0
                    b.setMsgType (11);
                    b.setChan (16);
                    b.setVelo (64);
                    b.setV1orV2 (CtMode (mode), CtKind (kind), 13, 1);
                    b.setV1orV2 (CtMode (mode), CtKind (kind), 66, 2);
                    b.setV1orV2 (CtMode (mode), CtKind (kind), 99, 3);
                    const MirrorSnapshot after;

                    before.restore();

                    if (cid >= 1 && cid <= 89)
                    {
                        if (auto* table = tables[mode])
                        {
                            auto* row = table[SurfaceLayout::rowOf (cid, zoom)];
                            row[0] = 11;
                            row[1] = 0xBF;
                            row[2] = 60;
                            row[3] = mode == CtMode::usrdefMcp ? 64 : row[3];
                        }

                        if (cid >= 65 && cid <= 74)
                            knobVelos[std::min (cid - 65, 8)][0] = 64;

                        if (auto* pair = huiPairOf (kind, cid); pair != nullptr && mode == CtMode::usrdefHui)
                        {
                            pair[0] = 13;
                            pair[1] = 66;
                        }
                    }

                    EXPECT_TRUE (MirrorSnapshot() == after) << "mode " << mode << " zoom " << zoom << " id " << cid << " kind " << kind;
                    before.restore();
                }
            }
        }
    }
}

TEST_F (MappableButtonTest, TextNamesTheAssignmentOfTheCurrentMode)
{
    BoundButton fader (*trv, 79), plain (*trv, 58, false);
    EXPECT_EQ (fader.text(), "PB.3");
    EXPECT_EQ (plain.button.getButtonText(), " G(6)");   // no label: on the button itself
    EXPECT_EQ (fader.button.getButtonText(), "b");       // with one: the button keeps its text

    cb[41][2] = 200;   // no note name: the number itself
    plain.button.updateText();
    EXPECT_EQ (plain.button.getButtonText(), "200");

    trv->setCtMode (CtMode (CtMode::logic));
    BoundButton logic (*trv, 1);
    logic.button.setValue (40);
    EXPECT_EQ (logic.text(), "Track");
    trv->setCtMode (CtMode (CtMode::proTools));
    EXPECT_EQ (BoundButton (*trv, 1).text(), "REC.1");

    // Unmatched usrdef-hui pairs: first knob, second jog, last (unnamed) fader function.
    trv->setCtMode (hui);
    BoundButton huiKnob (*trv, 65), huiJog (*trv, 73), huiFader (*trv, 77);
    huiKnob.button.setV1orV2 (hui, CtKind (CtKind::knob), 99, 2);
    huiJog.button.setV1orV2 (hui, CtKind (CtKind::jogWheel), 1, 1);
    EXPECT_EQ (huiFader.text(), "VOL.1");
    huiFader.button.setV1orV2 (hui, CtKind (CtKind::fader), 1, 1);
    EXPECT_EQ (huiKnob.text(), "PAN.1");
    EXPECT_EQ (huiJog.text(), "Tape Fwd");
    EXPECT_EQ (huiFader.text(), "");

    // A label that goes first leaves the button to show its own text.
    auto label = std::make_unique<juce::Label>();
    MappableButton orphan ("o");
    orphan.companionLabel = label.get();
    label.reset();
    orphan.setMapping (trv->getCurrentMap().getControlById (1));
    EXPECT_EQ (orphan.getButtonText(), "REC1");
}
