#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

class MidiOutputPort;

namespace zorv
{
    // The frame marker, EF 7F 7F: pitch bend on channel 16 with both data
    // bytes at their maximum. It opens and closes a mapping transfer and goes
    // before every firmware control frame and upgrade request.
    extern const juce::uint8 midiExtra[3];
}

// The MIDI messages that frame a mapping transfer, and the nibble note that
// carries every byte to the controller.
class Messages
{
public:
    // F0 1D 03, product id in two 7-bit bytes, HUI flag, mode code, 7F F7.
    // `mode` is a control-mode number 0..4; anything else is taken as mackie.
    static juce::MidiMessage makeStart (int productId, int mode);

    // 9E 7F 7F: note 127 at velocity 127 on channel 15.
    static juce::MidiMessage makeEnd();

    // 9F, b >> 4, b & 0F. Built from raw bytes because a velocity of 0 must go
    // out as a Note On; the controller reads it as the low nibble 0.
    static juce::MidiMessage nibbleNote (juce::uint8 b);

    // The frame marker as one message.
    static juce::MidiMessage frameMarker();
};

// Sends every message of `buffer` at once, ignoring its time stamps.
void sendMidiBuffer (MidiOutputPort& out, const juce::MidiBuffer& buffer);
