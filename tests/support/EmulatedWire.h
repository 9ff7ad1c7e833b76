#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The few wire shapes both sides of an emulated unit recognise: the frame
// marker, the end marker and the nibble note that carries one byte. Looked at
// byte by byte, because JUCE's own predicates would read a Note On of
// velocity 0 as a Note Off.
class EmulatedWire
{
public:
    static bool isFrameMarker (const juce::MidiMessage& message);
    static bool isEndMarker (const juce::MidiMessage& message);

    // Any three-byte message with status 9F, whatever its data bytes hold.
    static bool isChannel16NoteOn (const juce::MidiMessage& message);

    // Both halves of a nibble note fit in four bits.
    static bool hasValidNibbles (const juce::MidiMessage& message);

    // The byte a nibble note carries; bits above the nibble are dropped.
    static juce::uint8 byteOf (const juce::MidiMessage& message);

    // Upper-case hex bytes, e.g. "EF 7F 7F", shortened for long SysEx.
    static juce::String describe (const juce::MidiMessage& message);

    static juce::String hexByte (int value);

private:
    static bool equals (const juce::MidiMessage& message, std::initializer_list<int> bytes);
};
