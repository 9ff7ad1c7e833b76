#include "tests/core/SurfaceLayout.h"
#include "tests/core/TrvPlusFixture.h"

#include "core/FactoryTables.h"
#include "core/HuiTables.h"
#include "core/ProToolsTables.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/EmulatedWire.h"
#include "tests/support/ScopedMidiSystem.h"

// The mapping transfer against an emulated unit that decodes the wire on its
// own. The expected rows are worked out here from the record rules and the
// tables, never by asking the senders.

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    using Row = EmulatedController::Row;

    Row bytes (int b0, int b1, int b2, int b3, int b4, int b5)
    {
        return { (juce::uint8) b0, (juce::uint8) b1, (juce::uint8) b2,
                 (juce::uint8) b3, (juce::uint8) b4, (juce::uint8) b5 };
    }

    std::string hex (const Row& r)
    {
        return juce::String::toHexString (r.data(), (int) r.size(), 0).toUpperCase().toStdString();
    }

    std::string hex (const juce::MidiMessage& m)
    {
        return juce::String::toHexString (m.getRawData(), m.getRawDataSize(), 0).toUpperCase().toStdString();
    }

    bool isHui (int mode)   { return mode == CtMode::proTools || mode == CtMode::usrdefHui; }

    //==============================================================================
    // What fills each of the 98 rows, in the order the controller expects them.
    enum class Source { button, zoom, cursor, knob, jog, fader };

    Source sourceOf (int row)
    {
        if (row == 47 || row == 48)  return Source::zoom;
        if (row >= 67 && row <= 70)  return Source::cursor;
        if (row >= 71 && row <= 78)  return Source::knob;
        if (row == 79 || row == 80)  return Source::jog;
        if (row >= 90)               return Source::fader;
        return Source::button;
    }

    // Where the record rules read from: the factory tables, or the mirror
    // tables as an edit left them.
    struct Tables
    {
        const unsigned char (*records)[4];      // the Mackie Control mode's record table
        const unsigned char (*proTools)[4];     // the pro-tools HUI records
        const unsigned char (*huiButtons)[2];   // usrdef-hui button pairs by HUI slot
        const unsigned char (*huiJog)[2];       // usrdef-hui jog pairs: left, right
    };

    Tables factoryTables()
    {
        static unsigned char buttonPairs[70][2];

        for (int slot = 0; slot < 70; ++slot)
            for (int b = 0; b < 2; ++b)
                buttonPairs[slot][b] = HuiBnVaPairs0[HuiBtnMappIndex[slot]][b];

        return { cbBnAttrs0, protoolsMapping0, buttonPairs, HuiJogVaPairs0 };
    }

    Tables liveTables (int mode)
    {
        return { mode == CtMode::logic ? lg : mode == CtMode::usrdefMcp ? nd : cb, pt, HuiBnPairs, HuiJogPairs };
    }

    // Position of a fader's "value" in its kind's function list; 0 when absent.
    int faderSel (int mode, int value)
    {
        if (mode == CtMode::proTools)
        {
            for (int i = 0; i < 16; ++i)
                if (protoolsFaderIndexes[i] == value)
                    return i;

            return 0;
        }

        return juce::isPositiveAndBelow (value, 18) ? value : 0;
    }

    constexpr int proToolsCursorKeys[] = { 90, 86, 87, 89 };   // "Up?", "Down?", "Left?", "Right?"

    Row expectedRow (int row, int mode, const CtMap& map, const Tables& t)
    {
        const int id = SurfaceLayout::controlOfRow (row);
        const auto control = map.getControlById (id);
        auto prop = [&control] (const juce::Identifier& p) { return (int) control.getProperty (p); };
        const auto* own = t.records[SurfaceLayout::rowOf (id)];
        const auto* fixed = t.records[row];
        const bool hui = isHui (mode);

        switch (sourceOf (row))
        {
            case Source::button:
                if (hui)
                    return bytes (0x0B, 0xB0, 0x0F, prop (Tags::v1), 0x2F, prop (Tags::v2));

                if (prop (Tags::value) == 0)
                    return bytes (0x09, 0x90, 0x00, 0x7F, 0x00, 0x00);

                return bytes (own[0], own[1], own[2], 0x7F, 0x00, 0x00);

            case Source::zoom:
                if (hui)
                    return bytes (0x0B, 0xB0, 0x0F, t.proTools[88][1], 0x2F, t.proTools[88][2]);

                return bytes (0x09, 0x90, fixed[2], 0x7F, 0x00, 0x00);

            case Source::cursor:
            {
                if (! hui)
                    return bytes (fixed[0], fixed[1], fixed[2], 0x7F, 0x00, 0x00);

                if (mode == CtMode::usrdefHui)
                {
                    const auto* pair = t.huiButtons[cid2BnAidHui[id]];
                    return bytes (0x0B, 0xB0, 0x0F, pair[0], 0x2F, pair[1]);
                }

                const auto* key = t.proTools[proToolsCursorKeys[row - 67]];
                return bytes (0x0B, 0xB0, 0x0F, key[1], 0x2F, key[2]);
            }

            case Source::knob:
                if (hui)
                    return bytes (0x0B, 0xB0, 0x40 | (prop (Tags::v2) & 0x0F), 0x40, 0x00, 0x00);

                return bytes (own[0], own[1], own[2], own[3], 0x00, 0x00);

            case Source::jog:
                if (hui)
                    return bytes (0x0B, 0xB0, 0x0F, 0x0D, 0x2F, t.huiJog[row == 79 ? 1 : 0][1]);

                return bytes (fixed[0], fixed[1], fixed[2], fixed[3], 0x00, 0x00);

            case Source::fader:
            {
                if (! hui)
                    return bytes (own[0], own[1], own[2], 0x00, 0x00, 0x00);

                const int n = prop (Tags::v2) & 0x0F;

                if (faderSel (mode, prop (Tags::value)) <= 8)
                    return bytes (0x0B, 0xB0, n, 0x00, 0x20 | n, 0x00);

                return bytes (0x0B, 0xB0, 0x40 | n, 0x40, 0x00, 0x00);
            }
        }

        return {};
    }

    void expectRows (const EmulatedController& unit, int mode, const CtMap& map, const Tables& t)
    {
        const auto rows = unit.rows();
        ASSERT_EQ (rows.size(), 98u);

        for (int r = 1; r <= 98; ++r)
            EXPECT_EQ (hex (rows[(size_t) r - 1]), hex (expectedRow (r, mode, map, t))) << "row " << r;
    }

    juce::String modelXml (TrvPlus& t)
    {
        return t.getCurrentMap().getTree().getParent().toXmlString();
    }

    //==============================================================================
    // One emulated unit on an in-memory MIDI system, chosen as the output.
    struct Bench
    {
        explicit Bench (TrvPlus& t, bool trevanX = false)
            : unit (midi, trevanX ? EmulatedController::trevanX() : EmulatedController::trevanM())
        {
            displayingExpander = trevanX;
            t.setCurrentOutputDevice (trevanX ? "Trevan X" : "Trevan M");
        }

        juce::String violations() const   { return unit.violations().joinIntoString ("\n"); }

        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        EmulatedController unit;
    };

    // The editor's setters in "usrdef-mcp": the record's properties and the
    // mode's record row move together.
    void editMcp (TrvPlus& t, int id, int row, int nibble, int chan, int value, int velo)
    {
        auto control = t.getCurrentMap().getControlById (id);
        control.setProperty (Tags::type, nibble == 9 ? "note" : nibble == 11 ? "cc" : nibble == 14 ? "pitch" : "null", nullptr);
        control.setProperty (Tags::chan, chan, nullptr);
        control.setProperty (Tags::value, value, nullptr);
        control.setProperty (Tags::velo, velo, nullptr);

        nd[row][0] = (unsigned char) nibble;
        nd[row][1] = (unsigned char) ((nibble << 4) | (chan - 1));
        nd[row][2] = (unsigned char) value;
        nd[row][3] = (unsigned char) velo;
    }

    void setPair (TrvPlus& t, int id, int v1, int v2)
    {
        auto control = t.getCurrentMap().getControlById (id);
        control.setProperty (Tags::v1, v1, nullptr);
        control.setProperty (Tags::v2, v2, nullptr);
    }

    // Loads the factory map of `mode` without the controls `missing` from a file.
    juce::Result loadMapWithout (TrvPlus& t, int mode, std::initializer_list<int> missing)
    {
        auto tree = CtMap (CtMode (mode)).getTree().createCopy();
        auto controls = tree.getChildWithName (Tags::controls);

        for (int id : missing)
            controls.removeChild (controls.getChildWithProperty (Tags::cid, id), nullptr);

        juce::TemporaryFile file (".quelt");
        tree.createXml()->writeTo (file.getFile());
        return t.openFile (file.getFile());
    }

    // Rows by number with the bytes they must hold.
    void expectRowBytes (const EmulatedController& unit, std::initializer_list<std::pair<int, const char*>> rows)
    {
        for (auto [row, bytes] : rows)
            EXPECT_EQ (hex (unit.row (row)), bytes) << "row " << row;
    }
}

using MappingTransfer = TrvPlusFixture;

//==============================================================================
TEST_F (MappingTransfer, FactoryMapsArriveFramedRowForRowOnBothLayouts)
{
    const char* const startFrames[2][5] = {
        { "F01D03007500017FF7", "F01D03007500027FF7", "F01D03007501037FF7", "F01D03007500047FF7", "F01D03007501047FF7" },
        { "F01D03007600017FF7", "F01D03007600027FF7", "F01D03007601037FF7", "F01D03007600047FF7", "F01D03007601047FF7" } };

    for (bool trevanX : { false, true })
    {
        Bench bench (*trv, trevanX);

        for (int mode = 0; mode < 5; ++mode)
        {
            SCOPED_TRACE ((trevanX ? "Trevan X, mode " : "Trevan M, mode ") + std::to_string (mode));
            trv->setCtMode (CtMode (mode));
            trv->setPID ((zorv::PID_S) (trevanX ? 117 : 500));     // overwritten by the layout shown

            const auto modelBefore = modelXml (*trv);
            const MirrorSnapshot mirrorsBefore;

            auto result = trv->sendCurrentMapping();
            ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

            EXPECT_EQ (bench.violations(), "");
            EXPECT_EQ (bench.unit.numCompleteTransfers(), mode + 1);

            const auto messages = bench.unit.lastTransfer().messages;
            ASSERT_EQ (messages.size(), 592u);
            EXPECT_EQ (hex (messages[0].message), "EF7F7F");
            EXPECT_EQ (hex (messages[1].message), startFrames[trevanX][mode]);
            EXPECT_EQ (hex (messages[590].message), "EF7F7F");
            EXPECT_EQ (hex (messages[591].message), "9E7F7F");
            expectRows (bench.unit, mode, trv->getCurrentMap(), factoryTables());

            EXPECT_EQ (modelXml (*trv), modelBefore) << "the transfer changed the model";
            EXPECT_TRUE (MirrorSnapshot() == mirrorsBefore) << "the transfer changed a mirror table";
        }
    }
}

TEST_F (MappingTransfer, FactoryRowsHoldTheirDocumentedBytesAsNibbleNotes)
{
    Bench bench (*trv);

    // Control 1 has note 0: its row 25 is the fixed record whatever the table holds.
    cb[25][2] = 0x55;
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());

    expectRowBytes (bench.unit, { { 1, "0990187F0000" }, { 25, "0990007F0000" }, { 49, "0990007F0000" },
                                  { 57, "0990007F0000" }, { 47, "0990647F0000" }, { 48, "0990647F0000" },
                                  { 67, "0990607F0000" }, { 71, "0BB010400000" }, { 79, "0BB03C400000" },
                                  { 80, "0BB03C400000" }, { 90, "0EE000000000" }, { 98, "0EE800000000" } });

    // Row 1 travels as six nibble notes, high half first.
    const auto messages = bench.unit.lastTransfer().messages;
    const char* row1[] = { "9F0009", "9F0900", "9F0108", "9F070F", "9F0000", "9F0000" };

    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ (hex (messages[i + 2].message), row1[i]);
}

TEST_F (MappingTransfer, CursorRowsCarryTheCursorKeysInTheHuiModes)
{
    Bench bench (*trv);

    // Rows 67..70 stand for the cursor targets: "Up", "Down", "Left", "Right".
    trv->setCtMode (CtMode (CtMode::usrdefHui));
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
    expectRowBytes (bench.unit, { { 67, "0BB00F0D2F40" }, { 68, "0BB00F0D2F44" },
                                  { 69, "0BB00F0D2F43" }, { 70, "0BB00F0D2F41" } });

    // A user's pair for a cursor target's button slot goes out with it.
    HuiBnPairs[cid2BnAidHui[89]][0] = 0x1C;
    HuiBnPairs[cid2BnAidHui[89]][1] = 0x46;
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
    expectRowBytes (bench.unit, { { 67, "0BB00F0D2F40" }, { 68, "0BB00F1C2F46" } });

    // "Up?", "Down?", "Left?", "Right?"
    trv->setCtMode (CtMode (CtMode::proTools));
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
    expectRowBytes (bench.unit, { { 67, "0BB00F0D2F44" }, { 68, "0BB00F0D2F40" },
                                  { 69, "0BB00F0D2F41" }, { 70, "0BB00F0D2F43" } });
    EXPECT_EQ (bench.violations(), "");
}

TEST_F (MappingTransfer, HuiFadersSendVolumeOrPanByFunctionIndex)
{
    Bench bench (*trv);
    trv->setCtMode (CtMode (CtMode::usrdefHui));

    auto fader = [this] (int id, int value, int v1, int v2)
    {
        trv->getCurrentMap().getControlById (id).setProperty (Tags::value, value, nullptr);
        setPair (*trv, id, v1, v2);
    };

    fader (77, 9, 64, 0);       // "PAN.1": index 9
    fader (78, 16, 64, 0x17);   // "PAN.8"; only value2's low nibble counts
    fader (79, 8, 32, 8);       // "VOL.M": index 8, still a volume
    fader (85, 17, 64, 8);      // the last entry, a pan form too
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());

    // Row 93 keeps its factory "VOL.4".
    expectRowBytes (bench.unit, { { 90, "0BB040400000" }, { 91, "0BB047400000" }, { 92, "0BB008002800" },
                                  { 93, "0BB003002300" }, { 98, "0BB048400000" } });

    // In pro-tools "value" is a HUI control index: 9 ("Pan.1") is list entry 8
    // and keeps the volume form, 10 ("Pan.2") is entry 9.
    trv->setCtMode (CtMode (CtMode::proTools));
    fader (77, 9, 0, 2);
    fader (78, 10, 0, 3);
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
    expectRowBytes (bench.unit, { { 90, "0BB002002200" }, { 91, "0BB043400000" } });
    expectRows (bench.unit, CtMode::proTools, trv->getCurrentMap(), liveTables (CtMode::proTools));
    EXPECT_EQ (bench.violations(), "");
}

//==============================================================================
TEST_F (MappingTransfer, EditedUserMcpMapSendsTheEditedRecords)
{
    Bench bench (*trv);
    trv->setCtMode (CtMode (CtMode::usrdefMcp));

    editMcp (*trv, 25, 1, 11, 3, 0x40, 0x10);      // a select button now a controller on channel 3
    editMcp (*trv, 1, 25, 9, 16, 7, 0x20);         // control 1 off note 0: no longer the fixed record
    editMcp (*trv, 49, 36, 9, 2, 5, 0x7F);         // also fills rows 49-57
    editMcp (*trv, 60, 44, 0, 1, 0x5A, 0x7F);      // "null": status nibble 0
    editMcp (*trv, 65, 71, 9, 16, 0x3C, 0x21);     // a knob sending a note
    editMcp (*trv, 77, 90, 14, 5, 0, 0);           // pitch bend on channel 5
    editMcp (*trv, 85, 98, 11, 1, 0x07, 0x40);
    editMcp (*trv, 74, 79, 11, 4, 0x3D, 0x7F);     // the jog wheel's rows follow the table
    editMcp (*trv, 88, 67, 9, 1, 0x12, 0x7F);
    nd[47][2] = 0x33;                               // a zoom button's note
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());

    // A button's velocity byte is not sent (row 1).
    EXPECT_EQ (bench.violations(), "");
    expectRowBytes (bench.unit, { { 1, "0BB2407F0000" }, { 25, "099F077F0000" }, { 36, "0991057F0000" },
                                  { 53, "0991057F0000" }, { 44, "00005A7F0000" }, { 71, "099F3C210000" },
                                  { 90, "0EE400000000" }, { 98, "0BB007000000" }, { 79, "0BB33D7F0000" },
                                  { 67, "0990127F0000" }, { 47, "0990337F0000" } });
    expectRows (bench.unit, CtMode::usrdefMcp, trv->getCurrentMap(), liveTables (CtMode::usrdefMcp));

    // The other Mackie Control modes keep their own tables.
    trv->setCtMode (CtMode (CtMode::mackie));
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
    expectRows (bench.unit, CtMode::mackie, trv->getCurrentMap(), factoryTables());
}

TEST_F (MappingTransfer, EditedUserHuiMapSendsTheEditedPairs)
{
    Bench bench (*trv);
    trv->setCtMode (CtMode (CtMode::usrdefHui));

    setPair (*trv, 25, 5, 0x43);
    HuiBnPairs[cid2BnAidHui[25]][0] = 5;        // the editor keeps the slot in step
    HuiBnPairs[cid2BnAidHui[25]][1] = 0x43;
    setPair (*trv, 49, 0x1B, 0x147);            // rows 36 and 49-57; only the low eight bits travel
    setPair (*trv, 75, 9, 0x41);                // a zoom button: its rows carry pro-tools' key regardless
    setPair (*trv, 66, 64, 5);
    setPair (*trv, 72, 64, 0x1F);
    HuiJogPairs[0][1] = 0x11;
    HuiJogPairs[1][1] = 0x22;
    ASSERT_TRUE (trv->sendCurrentMapping().wasOk());

    // The jog wheel's right half comes first (row 79).
    EXPECT_EQ (bench.violations(), "");
    expectRowBytes (bench.unit, { { 1, "0BB00F052F43" }, { 36, "0BB00F1B2F47" }, { 57, "0BB00F1B2F47" },
                                  { 47, "0BB00F0D2F42" }, { 72, "0BB045400000" }, { 78, "0BB04F400000" },
                                  { 79, "0BB00F0D2F22" }, { 80, "0BB00F0D2F11" } });
    expectRows (bench.unit, CtMode::usrdefHui, trv->getCurrentMap(), liveTables (CtMode::usrdefHui));
}

TEST_F (MappingTransfer, ControlsMissingFromALoadedFileGoOutWithTheirFactoryRecords)
{
    Bench bench (*trv);

    // Loading gives the controls a file lacks their factory values, so their
    // rows carry the factory records: the HUI pairs, the knob's and the
    // faders' records, not zeros or another row's record.
    for (int mode : { CtMode::usrdefHui, CtMode::usrdefMcp })
    {
        SCOPED_TRACE (CtMode::slugForType (mode).toStdString());
        trv->setCtMode (CtMode (mode));
        ASSERT_TRUE (trv->sendCurrentMapping().wasOk());
        std::vector<std::string> factoryRows;

        for (int row = 1; row <= 98; ++row)
            factoryRows.push_back (hex (bench.unit.row (row)));

        ASSERT_TRUE (loadMapWithout (*trv, mode, { 1, 30, 49, 65, 77, 85 }).wasOk());
        ASSERT_EQ (trv->getCurrentCtMode().getValue(), mode);
        ASSERT_TRUE (trv->sendCurrentMapping().wasOk());

        for (int row = 1; row <= 98; ++row)
            EXPECT_EQ (hex (bench.unit.row (row)), factoryRows[(size_t) row - 1]) << "row " << row;
    }

    EXPECT_EQ (bench.violations(), "");
}

//==============================================================================
TEST_F (MappingTransfer, FailsBeforeSendingAnythingWhenThePortIsNotThere)
{
    Bench bench (*trv);
    auto& port = bench.unit.productPorts();

    auto failure = [this] (const juce::String& name)
    {
        trv->setCurrentOutputDevice (name);
        auto r = trv->sendCurrentMapping();
        EXPECT_TRUE (r.failed()) << name;
        return r.getErrorMessage();
    };

    EXPECT_EQ (failure ({}), "No device selected");
    EXPECT_EQ (failure ("trevan m"), "trevan m: device does not exist");
    EXPECT_EQ (failure ("Trevan M "), "Trevan M : device does not exist");
    EXPECT_EQ (failure ("Trevan X"), "Trevan X: device does not exist");

    port.setOpenFails (true);
    EXPECT_EQ (failure ("Trevan M"), "Trevan M: could not open device");
    port.setOpenFails (false);

    port.setConnected (false);
    EXPECT_EQ (failure ("Trevan M"), "Trevan M: device does not exist");
    port.setConnected (true);

    EXPECT_TRUE (port.getReceived().empty());
    EXPECT_EQ (bench.unit.numCompleteTransfers(), 0);
    EXPECT_EQ (port.getNumOpenOutputs(), 0);
    EXPECT_EQ (bench.violations(), "");

    trv->setCurrentOutputDevice ("Trevan M");
    EXPECT_TRUE (trv->sendCurrentMapping().wasOk());
    EXPECT_EQ (port.getNumOpenOutputs(), 0) << "the port stays open after the transfer";
    EXPECT_EQ (port.getReceived().size(), 592u);
}
