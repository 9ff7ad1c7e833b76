#pragma once

#include "platform/MidiInputPort.h"
#include "platform/MidiOutputPort.h"

#include <memory>

// One MIDI system: the operating system's through JUCE, or an in-memory one.
// Port lists are in the system's order; ports are opened by their index in the
// list as it stands at the moment of the call. A failed open returns null.
class MidiBackend
{
public:
    virtual ~MidiBackend() = default;

    virtual juce::StringArray getOutputNames() = 0;
    virtual juce::StringArray getInputNames() = 0;

    virtual std::unique_ptr<MidiOutputPort> openOutput (int index) = 0;
    virtual std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback& callback) = 0;
};
