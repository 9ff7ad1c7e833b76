#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// An open MIDI output port. Closing happens by destruction.
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    virtual juce::String getName() const = 0;

    // Both send immediately, ignoring any time stamps in the messages.
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
    virtual void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) = 0;
};
