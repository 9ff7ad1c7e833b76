#include "tests/support/ScopedMidiSystem.h"

#include "platform/MidiPorts.h"

ScopedMidiSystem::ScopedMidiSystem (VirtualMidiSystem& system)
    : previous (MidiPorts::install (&system))
{
}

ScopedMidiSystem::~ScopedMidiSystem()
{
    MidiPorts::install (previous);
}
