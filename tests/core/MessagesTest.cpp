#include "core/Messages.h"

#include <gtest/gtest.h>

namespace
{
    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
    }
}

TEST (Messages, StartFrameCarriesProductHuiFlagAndModeCode)
{
    // usrdef-mcp on a Trevan X, pro-tools on a Trevan M. The transfer's tests
    // hold every other layout and mode to its start frame, and the frame
    // marker and end marker to their bytes.
    EXPECT_EQ (bytesOf (Messages::makeStart (118, 3)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x76, 0x00, 0x04, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (Messages::makeStart (117, 2)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x01, 0x03, 0x7F, 0xF7 }));
    EXPECT_TRUE (Messages::makeStart (117, 2).isSysEx());
}

TEST (Messages, StartFrameStaysValidSysExForOddArguments)
{
    // An unknown mode reads as mackie, as an unknown mode slug does.
    EXPECT_EQ (bytesOf (Messages::makeStart (117, 7)), bytesOf (Messages::makeStart (117, 0)));
    EXPECT_EQ (bytesOf (Messages::makeStart (117, -1)), bytesOf (Messages::makeStart (117, 0)));

    for (int pid : { -1, 2052, 16384, 1 << 20 })
    {
        const auto bytes = bytesOf (Messages::makeStart (pid, 4));
        ASSERT_EQ (bytes.size(), 9u);

        for (size_t i = 1; i + 1 < bytes.size(); ++i)
            EXPECT_LT (bytes[i], 0x80) << "pid " << pid << " byte " << i;
    }

    EXPECT_EQ (bytesOf (Messages::makeStart (2052, 0))[3], 0x10);
    EXPECT_EQ (bytesOf (Messages::makeStart (2052, 0))[4], 0x04);
}

TEST (Messages, NibbleNoteSplitsByteAndKeepsVelocityZeroAsNoteOn)
{
    EXPECT_EQ (bytesOf (Messages::nibbleNote (0xA5)), (std::vector<int> { 0x9F, 0x0A, 0x05 }));
    EXPECT_EQ (bytesOf (Messages::nibbleNote (0xFF)), (std::vector<int> { 0x9F, 0x0F, 0x0F }));

    const auto zero = Messages::nibbleNote (0x00);
    EXPECT_EQ (bytesOf (zero), (std::vector<int> { 0x9F, 0x00, 0x00 }));
    EXPECT_TRUE (zero.isNoteOn (true));
    EXPECT_FALSE (zero.isNoteOff (false));

    const auto highOnly = Messages::nibbleNote (0x70);
    EXPECT_EQ (bytesOf (highOnly), (std::vector<int> { 0x9F, 0x07, 0x00 }));
}
