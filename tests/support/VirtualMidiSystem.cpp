#include "tests/support/VirtualMidiSystem.h"

#include <algorithm>

namespace
{
    class VirtualOutputPort : public MidiOutputPort
    {
    public:
        VirtualOutputPort (VirtualMidiDevice& d, const juce::String& n, std::function<void (const juce::MidiMessage&)> s,
                           std::function<void()> onClose)
            : name (n), send (std::move (s)), closed (std::move (onClose))
        {
            juce::ignoreUnused (d);
        }

        ~VirtualOutputPort() override { closed(); }

        juce::String getName() const override { return name; }

        void sendMessageNow (const juce::MidiMessage& m) override { send (m); }

        void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override
        {
            for (const auto meta : buffer)
                send (meta.getMessage());
        }

    private:
        juce::String name;
        std::function<void (const juce::MidiMessage&)> send;
        std::function<void()> closed;
    };

    class VirtualInputPort : public MidiInputPort
    {
    public:
        VirtualInputPort (const juce::String& n, std::function<void (bool)> startStop, std::function<void()> onClose)
            : name (n), setStarted (std::move (startStop)), closed (std::move (onClose)) {}

        ~VirtualInputPort() override { closed(); }

        juce::String getName() const override { return name; }
        void start() override { setStarted (true); }
        void stop() override  { setStarted (false); }

    private:
        juce::String name;
        std::function<void (bool)> setStarted;
        std::function<void()> closed;
    };
}

VirtualMidiSystem::VirtualMidiSystem()
    : midiThread ([this] { run(); })
{
}

VirtualMidiSystem::~VirtualMidiSystem()
{
    {
        std::lock_guard<std::mutex> l (taskLock);
        running = false;
    }

    taskSignal.notify_all();
    midiThread.join();
}

VirtualMidiDevice& VirtualMidiSystem::addDevice (const juce::String& outputName, const juce::String& inputName)
{
    std::lock_guard<std::recursive_mutex> l (registryLock);
    devices.push_back (std::make_unique<VirtualMidiDevice> (*this, outputName, inputName));
    return *devices.back();
}

void VirtualMidiSystem::schedule (int delayMs, std::function<void()> action)
{
    {
        std::lock_guard<std::mutex> l (taskLock);
        tasks.push_back ({ juce::Time::getMillisecondCounterHiRes() + juce::jmax (0, delayMs), nextOrder++, std::move (action) });
    }

    taskSignal.notify_all();
}

void VirtualMidiSystem::waitUntilIdle()
{
    std::unique_lock<std::mutex> l (taskLock);
    idleSignal.wait (l, [this] { return tasks.empty() && ! busy; });
}

bool VirtualMidiSystem::isMidiThread() const
{
    return std::this_thread::get_id() == midiThread.get_id();
}

void VirtualMidiSystem::run()
{
    std::unique_lock<std::mutex> l (taskLock);

    while (running)
    {
        if (tasks.empty())
        {
            idleSignal.notify_all();
            taskSignal.wait (l);
            continue;
        }

        auto next = std::min_element (tasks.begin(), tasks.end(), [] (const Task& a, const Task& b)
        {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });

        auto wait = next->due - juce::Time::getMillisecondCounterHiRes();

        if (wait > 0)
        {
            taskSignal.wait_for (l, std::chrono::microseconds ((juce::int64) (wait * 1000.0)));
            continue;
        }

        auto action = std::move (next->action);
        tasks.erase (next);
        busy = true;
        l.unlock();
        action();
        l.lock();
        busy = false;
    }

    tasks.clear();
    idleSignal.notify_all();
}

juce::StringArray VirtualMidiSystem::getOutputNames()
{
    std::lock_guard<std::recursive_mutex> l (registryLock);
    juce::StringArray names;

    for (auto& d : devices)
        if (d->isConnected() && d->getOutputName().isNotEmpty())
            names.add (d->getOutputName());

    return names;
}

juce::StringArray VirtualMidiSystem::getInputNames()
{
    std::lock_guard<std::recursive_mutex> l (registryLock);
    juce::StringArray names;

    for (auto& d : devices)
        if (d->isConnected() && d->getInputName().isNotEmpty())
            names.add (d->getInputName());

    return names;
}

VirtualMidiDevice* VirtualMidiSystem::findOutput (int index)
{
    for (auto& d : devices)
        if (d->isConnected() && d->getOutputName().isNotEmpty() && index-- == 0)
            return d.get();

    return nullptr;
}

VirtualMidiDevice* VirtualMidiSystem::findInput (int index)
{
    for (auto& d : devices)
        if (d->isConnected() && d->getInputName().isNotEmpty() && index-- == 0)
            return d.get();

    return nullptr;
}

std::unique_ptr<MidiOutputPort> VirtualMidiSystem::openOutput (int index)
{
    std::lock_guard<std::recursive_mutex> l (registryLock);
    auto* device = findOutput (index);

    if (device == nullptr || device->getOpenFails())
        return {};

    {
        std::lock_guard<std::recursive_mutex> dl (device->lock);
        ++device->openOutputs;
    }

    return std::make_unique<VirtualOutputPort> (*device, device->getOutputName(),
                                                [device] (const juce::MidiMessage& m) { device->receive (m); },
                                                [device]
                                                {
                                                    std::lock_guard<std::recursive_mutex> dl (device->lock);
                                                    --device->openOutputs;
                                                });
}

std::unique_ptr<MidiInputPort> VirtualMidiSystem::openInput (int index, juce::MidiInputCallback& callback)
{
    std::lock_guard<std::recursive_mutex> l (registryLock);
    auto* device = findInput (index);

    if (device == nullptr || device->getOpenFails())
        return {};

    auto token = std::make_shared<char>();
    const void* id = token.get();

    {
        std::lock_guard<std::recursive_mutex> dl (device->lock);
        device->inputs.push_back ({ &callback, false, id });
    }

    auto setStarted = [device, id] (bool started)
    {
        std::lock_guard<std::recursive_mutex> dl (device->lock);

        for (auto& i : device->inputs)
            if (i.port == id)
                i.started = started;
    };

    // Closing waits for a delivery in progress, so no callback runs after the
    // port is gone.
    auto close = [this, device, id, token]
    {
        std::lock_guard<std::recursive_mutex> d (deliveryLock);
        std::lock_guard<std::recursive_mutex> dl (device->lock);
        auto& in = device->inputs;
        in.erase (std::remove_if (in.begin(), in.end(), [id] (auto& i) { return i.port == id; }), in.end());
    };

    return std::make_unique<VirtualInputPort> (device->getInputName(), setStarted, close);
}
