#include "core/Messages.h"
#include "platform/MidiPorts.h"
#include "tests/support/ScopedMidiSystem.h"

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
    // usrdef-mcp on a Trevan X, pro-tools on a Trevan M.
    EXPECT_EQ (bytesOf (Messages::makeStart (118, 3)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x76, 0x00, 0x04, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (Messages::makeStart (117, 2)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x01, 0x03, 0x7F, 0xF7 }));

    const int expectedHui[]  = { 0, 0, 1, 0, 1 };
    const int expectedCode[] = { 1, 2, 3, 4, 4 };

    for (int mode = 0; mode < 5; ++mode)
    {
        const auto bytes = bytesOf (Messages::makeStart (117, mode));
        EXPECT_EQ (bytes[5], expectedHui[mode]) << "mode " << mode;
        EXPECT_EQ (bytes[6], expectedCode[mode]) << "mode " << mode;
        EXPECT_TRUE (Messages::makeStart (117, mode).isSysEx());
    }
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

TEST (Messages, EndMarkerIsNoteOnChannel15)
{
    const auto end = Messages::makeEnd();
    EXPECT_EQ (bytesOf (end), (std::vector<int> { 0x9E, 0x7F, 0x7F }));
    EXPECT_TRUE (end.isNoteOn());
    EXPECT_EQ (end.getChannel(), 15);
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

TEST (Messages, FrameMarkerIsPitchBendChannel16AtMaximum)
{
    EXPECT_EQ (bytesOf (Messages::frameMarker()), (std::vector<int> { 0xEF, 0x7F, 0x7F }));
    EXPECT_EQ (zorv::midiExtra[0], 0xEF);
    EXPECT_TRUE (Messages::frameMarker().isPitchWheel());
}

TEST (Messages, SendMidiBufferDeliversEveryMessageInOrder)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Trevan M", "Trevan M");

    auto port = MidiPorts::openOutput (0);
    ASSERT_NE (port, nullptr);

    juce::MidiBuffer buffer;
    buffer.addEvent (Messages::nibbleNote (0x12), 0);
    buffer.addEvent (Messages::nibbleNote (0x00), 0);
    sendMidiBuffer (*port, buffer);

    const auto got = dev.getReceived();
    ASSERT_EQ (got.size(), 2u);
    EXPECT_EQ (bytesOf (got[0].message), (std::vector<int> { 0x9F, 0x01, 0x02 }));
    EXPECT_EQ (bytesOf (got[1].message), (std::vector<int> { 0x9F, 0x00, 0x00 }));
}
