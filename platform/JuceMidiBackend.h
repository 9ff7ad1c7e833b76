#pragma once

#include "platform/MidiBackend.h"

// The operating system's MIDI ports, through JUCE's device classes.
class JuceMidiBackend : public MidiBackend
{
public:
    JuceMidiBackend();

    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;

    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback& callback) override;
};
