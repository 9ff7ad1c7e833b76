#include "tests/editor/ContentComponentProbe.h"

#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"

// What the user sets in the attribute boxes is what the unit receives: every
// edit is made through the page as the user makes it, then the mapping is
// sent to an emulated Trevan M and its rows are read back.
using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    juce::String hex (const EmulatedController::Row& row)
    {
        juce::StringArray bytes;

        for (auto b : row)
            bytes.add (juce::String::toHexString ((int) b).paddedLeft ('0', 2).toUpperCase());

        return bytes.joinIntoString (" ");
    }
}

class EditedMappingTransfer : public PageFixture
{
protected:
    // The transfer that "Send Data" runs, received by an emulated Trevan M.
    std::vector<juce::String> send()
    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, EmulatedController::trevanM());

        trv->setCurrentOutputDevice ("Trevan M");
        const auto result = trv->sendCurrentMapping();
        midi.waitUntilIdle();

        EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
        EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
        EXPECT_EQ (unit.numCompleteTransfers(), 1);

        start = unit.startFrame();
        std::vector<juce::String> rows (99);

        for (int r = 1; r <= 98; ++r)
            rows[(size_t) r] = hex (unit.row (r));

        return rows;
    }

    EmulatedController::StartFrame start;
};

//==============================================================================
TEST_F (EditedMappingTransfer, UsrdefMcpSendsTheMessagesChosenInTheBoxes)
{
    probe->modeBox().setSelectedItemIndex (3, juce::sendNotificationSync);
    ASSERT_EQ (trv->getCurrentCtMode(), CtMode::usrdefMcp);

    select (9);                             // solo 1, row 17
    choose (probe->typeBox(), 2);           // CC
    choose (probe->chanBox(), 5);
    choose (probe->funcBox(), 31);          // controller 30

    select (66);                            // knob 2, row 72
    choose (probe->chanBox(), 3);
    choose (probe->funcBox(), 31);          // controller 30: numerical at first
    choose (probe->rotBox(), 1);            // then incremental

    select (78);                            // fader 2, row 91
    choose (probe->chanBox(), 12);

    select (41);                            // fader touch 1, row 81
    choose (probe->typeBox(), 4);           // null: sends nothing

    click (*probe->controls().leftJogHalf); // both halves of the unzoomed wheel, rows 79 and 80
    choose (probe->typeBox(), 1);           // note
    choose (probe->chanBox(), 2);
    choose (probe->funcBox(), 51);          // note 50

    click (*probe->controls().zoomButton1); // the left half now stands for cursor 86, row 69
    choose (probe->chanBox(), 7);
    choose (probe->funcBox(), 41);          // note 40

    const auto rows = send();

    EXPECT_EQ (start.huiFlag, 0);
    EXPECT_EQ (start.modeCode, 4);

    EXPECT_EQ (rows[17], "0B B4 1E 7F 00 00");
    EXPECT_EQ (rows[72], "0B B2 1E 40 00 00");
    EXPECT_EQ (rows[91], "0E EB 00 00 00 00");
    EXPECT_EQ (rows[81], "00 00 68 7F 00 00");
    EXPECT_EQ (rows[79], "09 91 32 7F 00 00");
    EXPECT_EQ (rows[80], "09 91 32 7F 00 00");
    EXPECT_EQ (rows[69], "09 96 28 7F 00 00");

    // Everything else keeps its factory message.
    EXPECT_EQ (rows[1],  "09 90 18 7F 00 00");
    EXPECT_EQ (rows[70], "09 90 63 7F 00 00");
}

TEST_F (EditedMappingTransfer, UsrdefHuiSendsTheKeysChosenInTheBoxes)
{
    probe->modeBox().setSelectedItemIndex (3, juce::sendNotificationSync);
    choose (probe->ptclBox(), 2);
    ASSERT_EQ (trv->getCurrentCtMode(), CtMode::usrdefHui);

    select (9);                             // solo 1, row 17
    choose (probe->funcBox(), 63);          // "Play": zone 14, port 4

    select (10);                            // solo 2, row 18
    choose (probe->typeBox(), 9);           // zone 8
    choose (probe->chanBox(), 4);           // port 3: "Undo"

    select (66);                            // knob 2, row 72
    choose (probe->chanBox(), 6);           // channel 5

    select (78);                            // fader 2, row 91
    choose (probe->funcBox(), 12);          // "PAN.3"

    select (85);                            // master fader, row 98
    choose (probe->typeBox(), 2);           // value1 0x40: its pan

    click (*probe->controls().leftJogHalf); // row 80
    choose (probe->chanBox(), 2);           // forward
    click (*probe->controls().rightJogHalf);// row 79
    choose (probe->chanBox(), 1);           // back

    click (*probe->controls().zoomButton1);
    click (*probe->controls().leftJogHalf); // cursor 86, row 69
    choose (probe->funcBox(), 63);          // "Play"

    const auto rows = send();

    EXPECT_EQ (start.huiFlag, 1);
    EXPECT_EQ (start.modeCode, 4);

    EXPECT_EQ (rows[17], "0B B0 0F 0E 2F 44");
    EXPECT_EQ (rows[18], "0B B0 0F 08 2F 43");
    EXPECT_EQ (rows[72], "0B B0 45 40 00 00");
    EXPECT_EQ (rows[91], "0B B0 42 40 00 00");
    EXPECT_EQ (rows[98], "0B B0 48 40 00 00");
    EXPECT_EQ (rows[80], "0B B0 0F 0D 2F 40");
    EXPECT_EQ (rows[79], "0B B0 0F 0D 2F 00");
    EXPECT_EQ (rows[69], "0B B0 0F 0E 2F 44");

    // Everything else keeps its factory key.
    EXPECT_EQ (rows[1],  "0B B0 0F 00 2F 41");
    EXPECT_EQ (rows[70], "0B B0 0F 0D 2F 41");
}
