#include "platform/MidiPorts.h"

#include "platform/JuceMidiBackend.h"

#include <atomic>

namespace
{
    std::atomic<MidiBackend*> installedBackend { nullptr };

    MidiBackend& systemBackend()
    {
        static JuceMidiBackend backend;
        return backend;
    }
}

MidiBackend& MidiPorts::current()
{
    if (auto* b = installedBackend.load())
        return *b;

    return systemBackend();
}

MidiBackend* MidiPorts::install (MidiBackend* backend)
{
    return installedBackend.exchange (backend);
}

juce::StringArray MidiPorts::getOutputNames()   { return current().getOutputNames(); }
juce::StringArray MidiPorts::getInputNames()    { return current().getInputNames(); }

std::unique_ptr<MidiOutputPort> MidiPorts::openOutput (int index)
{
    return current().openOutput (index);
}

std::unique_ptr<MidiInputPort> MidiPorts::openInput (int index, juce::MidiInputCallback& callback)
{
    return current().openInput (index, callback);
}
