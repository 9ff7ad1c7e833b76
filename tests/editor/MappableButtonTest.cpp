#include "tests/core/ScopedJogState.h"
#include "tests/core/TrvPlusFixture.h"

#include "core/Defa.h"
#include "editor/AidForCid.h"
#include "editor/MappableButton.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // Record rows and usrdef-hui slots of ids 0 to 89, jog wheel in its jog state.
    constexpr int expectedRows[90] =
    {
         1, 25, 26, 27, 28, 29, 30, 31, 32, 17, 18, 19, 20, 21, 22, 23, 24,  9, 10, 11, 12, 13, 14, 15, 16,
         1,  2,  3,  4,  5,  6,  7,  8, 58, 59, 60, 61, 62, 63, 64, 65, 81, 82, 83, 84, 85, 86, 87, 88,
        36, 35, 34, 33, 89, 40, 39, 38, 37, 41, 42, 44, 43, 46, 45, 66, 71, 72, 73, 74, 75, 76, 77, 78,
        80, 79, 47, 48, 90, 91, 92, 93, 94, 95, 96, 97, 98, 69, 70, 67, 68
    };

    constexpr int expectedHuiSlots[90] =
    {
         0, 24, 25, 26, 27, 28, 29, 30, 31, 16, 17, 18, 19, 20, 21, 22, 23,  8,  9, 10, 11, 12, 13, 14, 15,
         0,  1,  2,  3,  4,  5,  6,  7, 57, 58, 59, 60, 61, 62, 63, 64, 32, 33, 34, 35, 36, 37, 38, 39,
        40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 65, 66, 67, 74, 75, 70, 71,
        79, 78, 68, 69, 76, 77, 72, 73, 80, 81, 82, 83, 84, 69, 68, 67, 66
    };

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
                               ? expectedHuiSlots[cid] : expectedRows[cid] - 1)
                    << "mode " << mode << " kind " << kind << " id " << cid;

    jog.set (1);
    EXPECT_EQ (aidForCid (CtMode (CtMode::mackie), CtKind (CtKind::jogWheel), 73), 68);
    EXPECT_EQ (aidForCid (hui, CtKind (CtKind::jogWheel), 73), 79);

    for (int cid : { -1, 90, 1000 })
        EXPECT_EQ (aidForCid (hui, CtKind (CtKind::button), cid), 98) << cid;
}

TEST_F (MappableButtonTest, SettersWriteTheRecordAndOnlyTheMackieControlTableRow)
{
    unsigned char (*const tables[])[4] = { cb, lg, cb, nd, cb };

    for (int mode = 0; mode < 5; ++mode)
    {
        trv->setCtMode (CtMode (mode));
        BoundButton b (*trv, 3);   // row 27: note 2
        const bool mackieControl = mode != CtMode::proTools && mode != CtMode::usrdefHui;
        auto* row = tables[mode][27];
        row[1] = 0x92;             // channel 3
        const MirrorSnapshot before;

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

            row[0] = 9; row[1] = 0x92; row[2] = 2;
        }

        EXPECT_TRUE (MirrorSnapshot() == before) << "mode " << mode;
        row[1] = 0x90;
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

    // A fader's or button's velocity is not the jog wheel's rotation pattern.
    unsigned char velosBefore[9][2];
    std::memcpy (velosBefore, knobVelos, sizeof (knobVelos));

    for (int cid : { 1, 75, 80, 85, 86 })
    {
        BoundButton b (*trv, cid);
        b.button.setValue (60);
        b.button.setVelo (5);
        EXPECT_EQ (0, std::memcmp (knobVelos, velosBefore, sizeof (knobVelos))) << cid;
    }

    trv->setCtMode (CtMode (CtMode::mackie));
    BoundButton m (*trv, 66);
    m.button.setVelo (2);
    EXPECT_EQ (cb[72][3], 64);       // the record's velocity: "usrdef-mcp" only
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

    // Another mode, a third value or an unbound button writes no pair.
    const MirrorSnapshot before;
    button.button.setV1orV2 (CtMode (CtMode::mackie), CtKind (CtKind::button), 1, 1);
    button.button.setV1orV2 (hui, CtKind (CtKind::button), 9, 3);
    EXPECT_EQ ((int) button.property (Tags::v2), 9);
    MappableButton unbound ("u");
    unbound.setV1orV2 (hui, CtKind (CtKind::button), 5, 1);
    unbound.setValue (5);
    EXPECT_TRUE (MirrorSnapshot() == before);
}

TEST_F (MappableButtonTest, NoSetterWritesOutsideItsTables)
{
    // Any id a mapping file may hold, with any kind, in every mode and jog
    // state: the sanitizer reports a write past a table, and ids that name no
    // control leave every table alone.
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
                const MirrorSnapshot before;

                for (int kind = 0; kind < 5; ++kind)
                {
                    MappableButton b ("b");
                    b.kind = CtKind (kind);
                    b.setMapping (record);
                    b.setValue (60);
                    b.setMsgType (11);
                    b.setChan (16);
                    b.setVelo (64);
                    b.setV1orV2 (hui, CtKind (kind), 13, 1);
                    b.setV1orV2 (hui, CtKind (kind), 64, 2);
                }

                if (cid < 1 || cid > 89)
                {
                    EXPECT_TRUE (MirrorSnapshot() == before) << "mode " << mode << " id " << cid;
                }

                before.restore();
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
