#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

// An open MIDI input port. Its callback runs on the MIDI system's own thread,
// never on the message thread; the `source` argument it receives is the JUCE
// input where one exists and may be null for other back-ends. Closing happens
// by destruction, which also waits for a callback in progress to return.
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    virtual juce::String getName() const = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
};
