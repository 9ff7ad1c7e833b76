#include "upgrader/FirmwareFrames.h"
#include "platform/MidiPorts.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

#include <numeric>

namespace
{
    std::vector<int> tail (const juce::uint8* frame, size_t size, size_t count)
    {
        return { frame + size - count, frame + size };
    }

    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
    }

    int sumOf (const juce::uint8* bytes, size_t count)
    {
        return std::accumulate (bytes, bytes + count, 0) % 256;
    }

    const std::vector<int> commonHead { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
                                        0x1D, 0x03, 0x00, 0x49 };
}

TEST (FirmwareFrames, ControlFramesEndInCommandArgumentAndChecksum)
{
    struct Case { zorv::ControlFrame* frame; int erasePid; std::vector<int> tail; };

    for (const auto& c : { Case { &zorv::midiJoin, 117, { 0x7F, 0x00, 0x3A } },
                           Case { &zorv::midiReset, 117, { 0x02, 0x00, 0xBD } },
                           Case { &zorv::midiErase, 117, { 0x00, 0x70, 0x2B } },
                           Case { &zorv::midiErase, 94, { 0x00, 0x71, 0x2C } } })
    {
        zorv::setEraseArgument (c.erasePid);
        zorv::sealControlFrame (*c.frame);
        EXPECT_EQ (std::vector<int> (*c.frame, *c.frame + 14), commonHead);
        EXPECT_EQ (tail (*c.frame, 17, 3), c.tail);
    }

    zorv::setEraseArgument (117);
    zorv::sealControlFrame (zorv::midiErase);
}

TEST (FirmwareFrames, EraseArgumentIsLookedUpOnlyInsideTheTable)
{
    for (int pid = 0; pid < 200; ++pid)
    {
        const bool special = pid == 94 || pid == 130 || pid == 182 || pid == 183;
        EXPECT_EQ (zorv::eraseArgumentFor (pid), special ? 0x71 : 0x70) << pid;
        EXPECT_EQ (zorv::erase15[pid], zorv::eraseArgumentFor (pid)) << pid;
    }

    for (int pid : { -1, -1000, 200, 2048, 2052, 1 << 30 })
        EXPECT_EQ (zorv::eraseArgumentFor (pid), 0x70) << pid;
}

TEST (FirmwareFrames, DataFrameCarriesHeaderCounterImageAndChecksumOver529Bytes)
{
    std::vector<juce::uint8> image (1024);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (juce::uint8) (i * 7 + 3);

    zorv::DataFrame frame {};
    zorv::buildDataFrame (frame, 0x01, image.data(), image.size(), 512);

    EXPECT_EQ (std::vector<int> (frame, frame + 14), commonHead);
    EXPECT_EQ (frame[14], 0x01);
    EXPECT_EQ (frame[15], 0x01);
    EXPECT_EQ (frame[16], 0x00);
    EXPECT_TRUE (std::equal (frame + 17, frame + 529, image.begin() + 512));
    EXPECT_EQ (frame[529], sumOf (frame, 529));

    // Header 3BD plus data bytes 511 x 01 and one 05: (BD + 04) & FF.
    std::fill (image.begin() + 512, image.end(), (juce::uint8) 0x01);
    image[700] = 0x05;
    zorv::buildDataFrame (frame, 0x01, image.data(), image.size(), 512);
    EXPECT_EQ (frame[529], 0xC1);

    // The header global keeps the counter last written.
    EXPECT_EQ (zorv::midiWrite[15], 0x01);
}

TEST (FirmwareFrames, ShortLastFrameIsPaddedWithZeros)
{
    std::vector<juce::uint8> image (513, 0xAB);

    zorv::DataFrame frame;
    std::fill (std::begin (frame), std::end (frame), (juce::uint8) 0xEE);
    zorv::buildDataFrame (frame, 0x01, image.data(), image.size(), 512);

    EXPECT_EQ (frame[17], 0xAB);
    EXPECT_TRUE (std::all_of (frame + 18, frame + 529, [] (juce::uint8 b) { return b == 0; }));
    EXPECT_EQ (frame[529], sumOf (frame, 529));

    // An offset at or past the end gives a frame of zeros only.
    zorv::buildDataFrame (frame, 0x02, image.data(), image.size(), 1024);
    EXPECT_TRUE (std::all_of (frame + 17, frame + 529, [] (juce::uint8 b) { return b == 0; }));

    zorv::buildDataFrame (frame, 0x00, nullptr, 0, 0);
    EXPECT_TRUE (std::all_of (frame + 17, frame + 529, [] (juce::uint8 b) { return b == 0; }));
}

TEST (FirmwareFrames, ControlFrameGoesOutAsMarkerThen17NibbleNotesOnChannel16)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Zorv firmware upgrade", "Zorv firmware upgrade");

    auto port = MidiPorts::openOutput (0);
    ASSERT_NE (port, nullptr);

    zorv::setEraseArgument (130);
    zorv::midiErase[16] = 0;    // stale; sending must recompute it

    int paced = 0;
    zorv::sendControlFrame (*port, zorv::midiErase, [&paced] { ++paced; });

    const auto got = dev.getReceived();
    ASSERT_EQ (got.size(), 18u);
    EXPECT_EQ (paced, 18);
    EXPECT_EQ (bytesOf (got[0].message), (std::vector<int> { 0xEF, 0x7F, 0x7F }));

    std::vector<int> decoded;

    for (size_t i = 1; i < got.size(); ++i)
    {
        const auto bytes = bytesOf (got[i].message);
        ASSERT_EQ (bytes.size(), 3u);
        EXPECT_EQ (bytes[0], 0x9F);
        EXPECT_LT (bytes[1], 0x10);
        EXPECT_LT (bytes[2], 0x10);
        decoded.push_back (bytes[1] << 4 | bytes[2]);
    }

    auto expected = commonHead;
    expected.insert (expected.end(), { 0x00, 0x71, 0x2C });
    EXPECT_EQ (decoded, expected);
    EXPECT_EQ (zorv::midiErase[16], 0x2C);

    // Sending without a pacing hook works as well.
    dev.clearReceived();
    zorv::sendControlFrame (*port, zorv::midiJoin);
    EXPECT_EQ (dev.getReceived().size(), 18u);
    EXPECT_EQ (bytesOf (dev.getReceived().back().message), (std::vector<int> { 0x9F, 0x03, 0x0A }));

    zorv::setEraseArgument (117);
    zorv::sealControlFrame (zorv::midiErase);
}
