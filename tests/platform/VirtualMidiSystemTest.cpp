#include "platform/MidiPorts.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
    struct Collector : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            std::lock_guard<std::mutex> l (lock);
            messages.push_back (m);
            threads.push_back (std::this_thread::get_id());
        }

        size_t count()
        {
            std::lock_guard<std::mutex> l (lock);
            return messages.size();
        }

        std::mutex lock;
        std::vector<juce::MidiMessage> messages;
        std::vector<std::thread::id> threads;
    };

    juce::MidiMessage note (int n) { return juce::MidiMessage::noteOn (16, n, (juce::uint8) 1); }
}

TEST (VirtualMidiSystem, ListsPortsInDeviceOrderAndSkipsMissingOnes)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    midi.addDevice ("Trevan M", "Trevan M In");
    midi.addDevice ("Synth", "");
    auto& x = midi.addDevice ("Trevan X", "Trevan X In");

    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ({ "Trevan M", "Synth", "Trevan X" }));
    EXPECT_EQ (MidiPorts::getInputNames(), juce::StringArray ({ "Trevan M In", "Trevan X In" }));

    x.setConnected (false);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ({ "Trevan M", "Synth" }));

    x.setOutputName ("Zorv firmware upgrade");
    x.setConnected (true);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ({ "Trevan M", "Synth", "Zorv firmware upgrade" }));
}

TEST (VirtualMidiSystem, RecordsEverySentMessageInOrderWithItsArrivalTime)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    midi.addDevice ("Other", "");
    auto& dev = midi.addDevice ("Trevan M", "");

    auto port = MidiPorts::openOutput (1);
    ASSERT_NE (port, nullptr);
    EXPECT_EQ (port->getName(), "Trevan M");

    juce::MidiBuffer buffer;
    buffer.addEvent (note (2), 0);
    buffer.addEvent (note (3), 0);

    port->sendMessageNow (note (1));
    port->sendBlockOfMessagesNow (buffer);

    auto got = dev.getReceived();
    ASSERT_EQ (got.size(), 3u);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (got[(size_t) i].message.getNoteNumber(), i + 1);

    EXPECT_LE (got[0].timeMs, got[1].timeMs);
    EXPECT_LE (got[1].timeMs, got[2].timeMs);
    EXPECT_EQ (dev.getNumOpenOutputs(), 1);

    port.reset();
    EXPECT_EQ (dev.getNumOpenOutputs(), 0);
}

TEST (VirtualMidiSystem, OpeningFailsForBadIndexesAndRefusingDevices)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Trevan M", "Trevan M");

    EXPECT_EQ (MidiPorts::openOutput (-1), nullptr);
    EXPECT_EQ (MidiPorts::openOutput (1), nullptr);

    dev.setOpenFails (true);
    EXPECT_EQ (MidiPorts::openOutput (0), nullptr);

    Collector c;
    EXPECT_EQ (MidiPorts::openInput (0, c), nullptr);
}

TEST (VirtualMidiSystem, MessagesToAVanishedDeviceGoNowhere)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Trevan M", "");

    auto port = MidiPorts::openOutput (0);
    dev.setConnected (false);
    port->sendMessageNow (note (1));
    EXPECT_TRUE (dev.getReceived().empty());
}

TEST (VirtualMidiSystem, RepliesArriveOnTheMidiThreadOnlyWhileTheInputIsStarted)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Trevan M", "Trevan M");

    Collector c;
    auto in = MidiPorts::openInput (0, c);
    ASSERT_NE (in, nullptr);

    dev.reply (note (1));
    midi.waitUntilIdle();
    EXPECT_EQ (c.count(), 0u);          // not started yet

    in->start();
    dev.reply (note (2));
    dev.reply (note (3));
    midi.waitUntilIdle();

    ASSERT_EQ (c.count(), 2u);
    EXPECT_EQ (c.messages[0].getNoteNumber(), 2);
    EXPECT_EQ (c.messages[1].getNoteNumber(), 3);
    EXPECT_NE (c.threads[0], std::this_thread::get_id());

    in->stop();
    dev.reply (note (4));
    midi.waitUntilIdle();
    EXPECT_EQ (c.count(), 2u);
}

TEST (VirtualMidiSystem, DelayedRepliesKeepTheirOrderAndClosingStopsDelivery)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto& dev = midi.addDevice ("Trevan M", "Trevan M");

    Collector c;
    auto in = MidiPorts::openInput (0, c);
    in->start();

    const auto t0 = juce::Time::getMillisecondCounterHiRes();
    dev.reply (note (2), 30);
    dev.reply (note (1), 10);
    midi.waitUntilIdle();

    ASSERT_EQ (c.count(), 2u);
    EXPECT_EQ (c.messages[0].getNoteNumber(), 1);
    EXPECT_EQ (c.messages[1].getNoteNumber(), 2);
    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - t0, 29.0);

    dev.reply (note (3), 20);
    in.reset();
    EXPECT_EQ (dev.getNumOpenInputs(), 0);
    midi.waitUntilIdle();
    EXPECT_EQ (c.count(), 2u);
}

TEST (MidiPorts, InstallRestoresThePreviousSystem)
{
    VirtualMidiSystem a, b;
    a.addDevice ("A", "");
    b.addDevice ("B", "");

    {
        ScopedMidiSystem sa (a);
        EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("A"));
        {
            ScopedMidiSystem sb (b);
            EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("B"));
        }
        EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("A"));
    }

    EXPECT_EQ (&MidiPorts::current(), &MidiPorts::current());
    EXPECT_FALSE (MidiPorts::getOutputNames().contains ("A"));
}
