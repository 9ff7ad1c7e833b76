#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>
#include <mutex>
#include <vector>

class VirtualMidiSystem;
class MidiInputPort;
namespace juce { class MidiInputCallback; }

// One device of the in-memory MIDI system: an output port through which the
// program talks to it and an input port through which it answers. A port
// whose name is empty does not exist; a disconnected device shows neither.
// Names and connection can change at any time, from any thread.
class VirtualMidiDevice
{
public:
    struct Received
    {
        juce::MidiMessage message;
        double timeMs = 0;          // juce::Time::getMillisecondCounterHiRes() at arrival
    };

    VirtualMidiDevice (VirtualMidiSystem& owner, const juce::String& outputName, const juce::String& inputName);

    juce::String getOutputName() const;
    juce::String getInputName() const;
    void setOutputName (const juce::String& name);
    void setInputName (const juce::String& name);

    bool isConnected() const;
    void setConnected (bool shouldBeConnected);

    // Makes opening either port fail, as a port held by another program would.
    void setOpenFails (bool shouldFail);
    bool getOpenFails() const;

    // Everything the program sent to this device, in order of arrival.
    std::vector<Received> getReceived() const;
    size_t getNumReceived() const;
    void clearReceived();

    // The device's own reaction to each message; runs on the program's
    // sending thread right after the message is recorded.
    void setReceiver (std::function<void (const juce::MidiMessage&)> receiver);

    // Sends a message to the program through every started input port open on
    // this device, from the MIDI system's thread, after `delayMs`.
    void reply (const juce::MidiMessage& message, int delayMs = 0);

    int getNumOpenInputs() const;
    int getNumOpenOutputs() const;

private:
    friend class VirtualMidiSystem;

    void receive (const juce::MidiMessage& message);
    void deliver (const juce::MidiMessage& message);

    struct InputRegistration
    {
        juce::MidiInputCallback* callback;
        bool started;
        const void* port;
    };

    VirtualMidiSystem& system;

    mutable std::recursive_mutex lock;
    juce::String outputName, inputName;
    bool connected = true;
    bool openFails = false;
    std::vector<Received> received;
    std::function<void (const juce::MidiMessage&)> receiver;
    std::vector<InputRegistration> inputs;
    int openOutputs = 0;

    JUCE_DECLARE_NON_COPYABLE (VirtualMidiDevice)
};
