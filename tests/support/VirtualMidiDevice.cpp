#include "tests/support/VirtualMidiDevice.h"

#include "tests/support/VirtualMidiSystem.h"

#include <juce_audio_devices/juce_audio_devices.h>

VirtualMidiDevice::VirtualMidiDevice (VirtualMidiSystem& owner, const juce::String& out, const juce::String& in)
    : system (owner), outputName (out), inputName (in)
{
}

juce::String VirtualMidiDevice::getOutputName() const   { std::lock_guard<std::recursive_mutex> l (lock); return outputName; }
juce::String VirtualMidiDevice::getInputName() const    { std::lock_guard<std::recursive_mutex> l (lock); return inputName; }
void VirtualMidiDevice::setOutputName (const juce::String& n)  { std::lock_guard<std::recursive_mutex> l (lock); outputName = n; }
void VirtualMidiDevice::setInputName (const juce::String& n)   { std::lock_guard<std::recursive_mutex> l (lock); inputName = n; }

bool VirtualMidiDevice::isConnected() const             { std::lock_guard<std::recursive_mutex> l (lock); return connected; }
void VirtualMidiDevice::setConnected (bool c)           { std::lock_guard<std::recursive_mutex> l (lock); connected = c; }

void VirtualMidiDevice::setOpenFails (bool f)           { std::lock_guard<std::recursive_mutex> l (lock); openFails = f; }
bool VirtualMidiDevice::getOpenFails() const            { std::lock_guard<std::recursive_mutex> l (lock); return openFails; }

std::vector<VirtualMidiDevice::Received> VirtualMidiDevice::getReceived() const
{
    std::lock_guard<std::recursive_mutex> l (lock);
    return received;
}

size_t VirtualMidiDevice::getNumReceived() const
{
    std::lock_guard<std::recursive_mutex> l (lock);
    return received.size();
}

void VirtualMidiDevice::clearReceived()
{
    std::lock_guard<std::recursive_mutex> l (lock);
    received.clear();
}

void VirtualMidiDevice::setReceiver (std::function<void (const juce::MidiMessage&)> r)
{
    std::lock_guard<std::recursive_mutex> l (lock);
    receiver = std::move (r);
}

void VirtualMidiDevice::receive (const juce::MidiMessage& message)
{
    std::function<void (const juce::MidiMessage&)> r;

    {
        std::lock_guard<std::recursive_mutex> l (lock);

        // A port whose device has gone takes the message nowhere, as with real hardware.
        if (! connected || outputName.isEmpty())
            return;

        received.push_back ({ message, juce::Time::getMillisecondCounterHiRes() });
        r = receiver;
    }

    if (r)
        r (message);
}

void VirtualMidiDevice::reply (const juce::MidiMessage& message, int delayMs)
{
    system.schedule (delayMs, [this, message] { deliver (message); });
}

void VirtualMidiDevice::deliver (const juce::MidiMessage& message)
{
    std::lock_guard<std::recursive_mutex> d (system.deliveryLock);
    std::vector<juce::MidiInputCallback*> targets;

    {
        std::lock_guard<std::recursive_mutex> l (lock);

        if (! connected || inputName.isEmpty())
            return;

        for (auto& i : inputs)
            if (i.started)
                targets.push_back (i.callback);
    }

    for (auto* c : targets)
        c->handleIncomingMidiMessage (nullptr, message);
}

int VirtualMidiDevice::getNumOpenInputs() const   { std::lock_guard<std::recursive_mutex> l (lock); return (int) inputs.size(); }
int VirtualMidiDevice::getNumOpenOutputs() const  { std::lock_guard<std::recursive_mutex> l (lock); return openOutputs; }
