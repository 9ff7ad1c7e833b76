#include "tests/support/EmulatedFirmwareDecoder.h"

#include "tests/support/EmulatedWire.h"

#include <algorithm>

namespace
{
    constexpr int commandOffset = 14;
    constexpr int argumentOffset = 15;
    constexpr int headerSize = 14;
    constexpr juce::uint8 header[headerSize] = { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
                                                 0x1D, 0x03, 0x00, 0x49 };

    struct CommandInfo
    {
        int byte;
        EmulatedFirmwareDecoder::Command command;
        const char* name;
    };

    constexpr CommandInfo commands[] = {
        { 0x7F, EmulatedFirmwareDecoder::Command::connect, "connect" },
        { 0x00, EmulatedFirmwareDecoder::Command::erase,   "erase" },
        { 0x01, EmulatedFirmwareDecoder::Command::write,   "write" },
        { 0x02, EmulatedFirmwareDecoder::Command::reset,   "reset" },
    };
}

EmulatedFirmwareDecoder::EmulatedFirmwareDecoder (juce::StringArray& v, int erase)
    : violations (v), eraseArgument (erase)
{
}

void EmulatedFirmwareDecoder::resync()
{
    bytes.clear();
    markerSeen = false;
}

void EmulatedFirmwareDecoder::reset()
{
    resync();
    connected = false;
    expectedCounter = 0;
    dataFramesInUpload = 0;
    frames.clear();
    image.clear();
}

std::optional<EmulatedFirmwareDecoder::Frame> EmulatedFirmwareDecoder::feed (const juce::MidiMessage& m, double timeMs)
{
    if (EmulatedWire::isFrameMarker (m))
    {
        if (! bytes.empty())
            report ("incomplete frame of " + juce::String ((int) bytes.size()) + " bytes before a frame marker");
        else if (markerSeen)
            report ("frame marker followed by another frame marker");

        bytes.clear();
        markerSeen = true;
        return {};
    }

    if (! EmulatedWire::isChannel16NoteOn (m))
    {
        report (where() + (m.isSysEx() ? "SysEx in upgrade mode: " : "not a Note On on channel 16: ")
                + EmulatedWire::describe (m));
        return {};
    }

    if (! EmulatedWire::hasValidNibbles (m))
        report (where() + "nibble value above 15: " + EmulatedWire::describe (m));

    bytes.push_back (EmulatedWire::byteOf (m));

    // Byte 14 tells the frame's length: 01 (write) opens a data frame.
    auto size = (int) bytes.size();

    if (size <= commandOffset)
        return {};

    auto expected = bytes[commandOffset] == 0x01 ? dataFrameSize : controlFrameSize;

    if (size < expected)
        return {};

    auto frame = decode (timeMs);
    frames.push_back (frame);
    bytes.clear();
    markerSeen = false;
    return frame;
}

EmulatedFirmwareDecoder::Frame EmulatedFirmwareDecoder::decode (double timeMs)
{
    Frame f;
    f.size = (int) bytes.size();
    f.commandByte = bytes[commandOffset];
    f.argument = bytes[argumentOffset];
    f.afterMarker = markerSeen;
    f.timeMs = timeMs;

    for (auto& c : commands)
        if (c.byte == f.commandByte)
            f.command = c.command;

    checkHeader (f);

    if (f.size == dataFrameSize)
        checkDataFrame (f);
    else
        checkControlFrame (f);

    return f;
}

void EmulatedFirmwareDecoder::checkHeader (Frame& f)
{
    if (std::equal (header, header + headerSize, bytes.begin()))
        return;

    f.layoutOk = false;
    report (where() + "header is " + juce::String::toHexString (bytes.data(), headerSize).toUpperCase()
            + ", not 55 (ten times) 1D 03 00 49");
}

void EmulatedFirmwareDecoder::checkControlFrame (Frame& f)
{
    if (! f.afterMarker)
    {
        f.layoutOk = false;
        report (where() + "control frame without a frame marker before it");
    }

    auto expectedArgument = 0;

    switch (f.command)
    {
        case Command::connect:
            connected = true;
            expectedCounter = 0;
            dataFramesInUpload = 0;
            image.clear();
            break;

        case Command::erase:
            expectedArgument = eraseArgument;
            break;

        case Command::reset:
            break;

        case Command::write:
        case Command::unknown:
            f.layoutOk = false;
            report (where() + "unknown command " + EmulatedWire::hexByte (f.commandByte));
            break;
    }

    if (f.command != Command::unknown && f.argument != expectedArgument)
    {
        f.layoutOk = false;
        report (where() + "argument " + EmulatedWire::hexByte (f.argument) + ", expected "
                + EmulatedWire::hexByte (expectedArgument));
    }

    auto sum = sumOfBytes (controlFrameSize - 1);

    if (bytes[controlFrameSize - 1] != sum)
    {
        f.checksumOk = false;
        report (where() + "checksum " + EmulatedWire::hexByte (bytes[controlFrameSize - 1]) + ", expected "
                + EmulatedWire::hexByte (sum));
    }
}

void EmulatedFirmwareDecoder::checkDataFrame (Frame& f)
{
    f.dataIndex = dataFramesInUpload++;

    if (f.afterMarker)
    {
        f.layoutOk = false;
        report (where() + "data frame preceded by a frame marker");
    }

    if (! connected)
    {
        f.layoutOk = false;
        report (where() + "data frame before any connect frame");
    }

    if (f.argument != expectedCounter)
    {
        f.layoutOk = false;
        report (where() + "frame counter " + EmulatedWire::hexByte (f.argument) + ", expected "
                + EmulatedWire::hexByte (expectedCounter));
    }

    // Following what came rather than what was due reports a skipped or
    // repeated frame once, not every frame after it.
    expectedCounter = (f.argument + 1) & 0xFF;

    if (bytes[16] != 0)
    {
        f.layoutOk = false;
        report (where() + "byte 16 is " + EmulatedWire::hexByte (bytes[16]) + ", expected 00");
    }

    auto sum = sumOfBytes (dataFrameSize - 1);

    if (bytes[dataFrameSize - 1] != sum)
    {
        f.checksumOk = false;
        report (where() + "checksum " + EmulatedWire::hexByte (bytes[dataFrameSize - 1]) + ", expected "
                + EmulatedWire::hexByte (sum));
    }

    image.insert (image.end(), bytes.begin() + 17, bytes.begin() + 17 + payloadSize);
}

int EmulatedFirmwareDecoder::sumOfBytes (int count) const
{
    int sum = 0;

    for (int i = 0; i < count; ++i)
        sum += bytes[(size_t) i];

    return sum & 0xFF;
}

juce::String EmulatedFirmwareDecoder::where() const
{
    juce::String name = "frame";

    if ((int) bytes.size() > commandOffset)
        for (auto& c : commands)
            if (c.byte == bytes[commandOffset])
                name = juce::String (c.name) + " frame";

    return "upgrade mode, " + name + " " + juce::String ((int) frames.size()) + ": ";
}

void EmulatedFirmwareDecoder::report (const juce::String& text)
{
    violations.add (text);
}
