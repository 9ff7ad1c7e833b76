#pragma once

#include "tests/support/VirtualMidiSystem.h"

// Installs a VirtualMidiSystem as the program's MIDI system for its lifetime
// and puts back whatever was installed before.
class ScopedMidiSystem
{
public:
    explicit ScopedMidiSystem (VirtualMidiSystem& system);
    ~ScopedMidiSystem();

private:
    MidiBackend* previous;

    JUCE_DECLARE_NON_COPYABLE (ScopedMidiSystem)
};
