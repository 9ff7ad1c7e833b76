#pragma once

#include "platform/MidiBackend.h"
#include "tests/support/VirtualMidiDevice.h"

#include <condition_variable>
#include <thread>

// An in-memory MIDI system for tests. Devices are listed in the order they
// were added (a device keeps its place while disconnected or renamed). It
// records what the program sends, and delivers device replies and scheduled
// actions on a thread of its own, as the operating system's MIDI thread would.
//
// Install it with ScopedMidiSystem (or MidiPorts::install) to make the
// program's port layer use it.
class VirtualMidiSystem : public MidiBackend
{
public:
    VirtualMidiSystem();
    ~VirtualMidiSystem() override;

    VirtualMidiDevice& addDevice (const juce::String& outputName, const juce::String& inputName);

    // Runs `action` on the MIDI thread after `delayMs`; actions due at the same
    // time run in the order they were scheduled.
    void schedule (int delayMs, std::function<void()> action);

    // Blocks until every action scheduled so far has run.
    void waitUntilIdle();

    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback& callback) override;

    // True on the MIDI thread of this system.
    bool isMidiThread() const;

private:
    friend class VirtualMidiDevice;

    struct Task
    {
        double due;
        juce::uint64 order;
        std::function<void()> action;
    };

    void run();
    VirtualMidiDevice* findOutput (int index);
    VirtualMidiDevice* findInput (int index);

    std::recursive_mutex registryLock;
    std::vector<std::unique_ptr<VirtualMidiDevice>> devices;

    std::mutex taskLock;
    std::condition_variable taskSignal, idleSignal;
    std::vector<Task> tasks;
    juce::uint64 nextOrder = 0;
    bool running = true, busy = false;

    // Serialises deliveries with the closing of input ports.
    std::recursive_mutex deliveryLock;

    std::thread midiThread;
};
