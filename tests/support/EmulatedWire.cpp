#include "tests/support/EmulatedWire.h"

bool EmulatedWire::equals (const juce::MidiMessage& message, std::initializer_list<int> bytes)
{
    if (message.getRawDataSize() != (int) bytes.size())
        return false;

    auto* raw = message.getRawData();
    int i = 0;

    for (auto b : bytes)
        if (raw[i++] != b)
            return false;

    return true;
}

bool EmulatedWire::isFrameMarker (const juce::MidiMessage& message)  { return equals (message, { 0xEF, 0x7F, 0x7F }); }
bool EmulatedWire::isEndMarker (const juce::MidiMessage& message)    { return equals (message, { 0x9E, 0x7F, 0x7F }); }

bool EmulatedWire::isChannel16NoteOn (const juce::MidiMessage& message)
{
    return message.getRawDataSize() == 3 && message.getRawData()[0] == 0x9F;
}

bool EmulatedWire::hasValidNibbles (const juce::MidiMessage& message)
{
    auto* raw = message.getRawData();
    return raw[1] <= 0x0F && raw[2] <= 0x0F;
}

juce::uint8 EmulatedWire::byteOf (const juce::MidiMessage& message)
{
    auto* raw = message.getRawData();
    return (juce::uint8) (((raw[1] & 0x0F) << 4) | (raw[2] & 0x0F));
}

juce::String EmulatedWire::describe (const juce::MidiMessage& message)
{
    constexpr int shown = 12;
    auto size = message.getRawDataSize();
    auto text = juce::String::toHexString (message.getRawData(), juce::jmin (size, shown)).toUpperCase();

    if (size > shown)
        text << " ... (" << size << " bytes)";

    return text;
}

juce::String EmulatedWire::hexByte (int value)
{
    return juce::String::toHexString (value & 0xFF).paddedLeft ('0', 2).toUpperCase();
}
