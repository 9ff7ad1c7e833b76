#pragma once

#include "platform/MidiBackend.h"

// The only way our code reaches MIDI ports. Everything goes to the installed
// back-end, which is the operating system's MIDI (through JUCE) unless a test
// has installed another one. The application itself never switches.
class MidiPorts
{
public:
    static juce::StringArray getOutputNames();
    static juce::StringArray getInputNames();

    static std::unique_ptr<MidiOutputPort> openOutput (int index);
    static std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback& callback);

    // Makes `backend` the MIDI system until the next call; null restores the
    // operating system's. The caller keeps ownership and must keep it alive
    // while installed. Returns the back-end that was installed before (null
    // for the operating system's). Call on the message thread.
    static MidiBackend* install (MidiBackend* backend);

    static MidiBackend& current();
};
