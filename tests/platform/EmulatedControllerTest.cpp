#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/EmulatedWire.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

// Streams here are built by hand from the wire format, never by the program.
namespace
{
    using Bytes = std::vector<juce::uint8>;

    juce::MidiMessage raw (const Bytes& b)       { return juce::MidiMessage (b.data(), (int) b.size()); }
    juce::MidiMessage marker()                   { return juce::MidiMessage (0xEF, 0x7F, 0x7F); }
    juce::MidiMessage endMarker()                { return juce::MidiMessage (0x9E, 0x7F, 0x7F); }
    juce::MidiMessage nibble (int b)             { return juce::MidiMessage (0x9F, (b >> 4) & 0x0F, b & 0x0F); }

    juce::MidiMessage startFrame (int pid, int hui, int mode)
    {
        return raw ({ 0xF0, 0x1D, 0x03, (juce::uint8) (pid >> 7), (juce::uint8) (pid & 0x7F), (juce::uint8) hui,
                      (juce::uint8) mode, 0x7F, 0xF7 });
    }

    juce::MidiMessage request9 (int family)
    {
        return raw ({ 0xF0, 0x1D, 0x03, (juce::uint8) (family >> 7), (juce::uint8) (family & 0x7F), 0x00, 0x7F, 0x7F, 0xF7 });
    }

    juce::MidiMessage request8 (int family)
    {
        return raw ({ 0xF0, 0x1D, 0x03, (juce::uint8) (family >> 7), (juce::uint8) (family & 0x7F), 0x55, 0x7F, 0xF7 });
    }

    // Row r (1-based) holds bytes that differ from every other row's.
    EmulatedController::Row testRow (int r)
    {
        return { (juce::uint8) r, 0x90, (juce::uint8) (0xFF - r), 0x7F, 0x00, (juce::uint8) (r * 2) };
    }

    std::vector<juce::MidiMessage> rowNotes (int numNotes)
    {
        std::vector<juce::MidiMessage> notes;

        for (int i = 0; i < numNotes; ++i)
            notes.push_back (nibble (testRow (i / 6 + 1)[(size_t) (i % 6)]));

        return notes;
    }

    std::vector<juce::MidiMessage> transfer (int pid, int hui, int mode, int numNotes = 588)
    {
        std::vector<juce::MidiMessage> s { marker(), startFrame (pid, hui, mode) };
        auto notes = rowNotes (numNotes);
        s.insert (s.end(), notes.begin(), notes.end());
        s.push_back (marker());
        s.push_back (endMarker());
        return s;
    }

    Bytes header()
    {
        Bytes h (10, 0x55);
        h.insert (h.end(), { 0x1D, 0x03, 0x00, 0x49 });
        return h;
    }

    juce::uint8 sum (const Bytes& b)
    {
        int s = 0;
        for (auto x : b) s += x;
        return (juce::uint8) (s & 0xFF);
    }

    Bytes controlFrame (int command, int argument)
    {
        auto f = header();
        f.push_back ((juce::uint8) command);
        f.push_back ((juce::uint8) argument);
        f.push_back (sum (f));
        return f;
    }

    Bytes dataFrame (int counter, const juce::MemoryBlock& image, size_t offset)
    {
        auto f = header();
        f.insert (f.end(), { 0x01, (juce::uint8) counter, 0x00 });

        for (size_t i = 0; i < 512; ++i)
            f.push_back (offset + i < image.getSize() ? (juce::uint8) image[offset + i] : 0);

        f.push_back (sum (f));
        return f;
    }

    struct Collector : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            std::lock_guard<std::mutex> l (lock);
            got.add (juce::String::toHexString (m.getRawData(), m.getRawDataSize()).toUpperCase());
        }

        void clear()
        {
            std::lock_guard<std::mutex> l (lock);
            got.clear();
        }

        juce::StringArray replies()
        {
            std::lock_guard<std::mutex> l (lock);
            return got;
        }

        std::mutex lock;
        juce::StringArray got;
    };

    // The program's side of the wire: ports opened through the port layer.
    struct Host
    {
        explicit Host (const juce::String& name)
        {
            out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf (name));
            auto inIndex = MidiPorts::getInputNames().indexOf (name);

            if (inIndex >= 0)
                in = MidiPorts::openInput (inIndex, collector);

            if (in != nullptr)
                in->start();
        }

        void send (const juce::MidiMessage& m)                  { out->sendMessageNow (m); }
        void send (const std::vector<juce::MidiMessage>& all)   { for (auto& m : all) send (m); }

        void sendFrame (const Bytes& frame, bool withMarker)
        {
            if (withMarker)
                send (marker());

            for (auto b : frame)
                send (nibble (b));
        }

        Collector collector;
        std::unique_ptr<MidiOutputPort> out;
        std::unique_ptr<MidiInputPort> in;
    };

    juce::MemoryBlock testImage (size_t size)
    {
        juce::MemoryBlock image (size);

        for (size_t i = 0; i < size; ++i)
            image[i] = (char) ((i * 7 + 3) & 0xFF);

        return image;
    }

    EmulatedController::Config quick (EmulatedController::Config c)
    {
        c.upgradeDelayMs = 5;
        c.rebootDelayMs = 5;
        return c;
    }

    bool contains (const juce::StringArray& violations, const juce::String& text)
    {
        for (auto& v : violations)
            if (v.contains (text))
                return true;

        return false;
    }
}

//==============================================================================
TEST (EmulatedController, DecodesAWellFormedTransferIntoStartFrameAndRows)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanX());
    Host host ("Trevan X");
    ASSERT_NE (host.out, nullptr);

    host.send (transfer (118, 0, 4));

    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
    EXPECT_EQ (unit.numCompleteTransfers(), 1);
    EXPECT_EQ (unit.startFrame().productId, 118);
    EXPECT_EQ (unit.startFrame().huiFlag, 0);
    EXPECT_EQ (unit.startFrame().modeCode, 4);

    auto rows = unit.rows();
    ASSERT_EQ (rows.size(), 98u);

    for (int r = 1; r <= 98; ++r)
        EXPECT_EQ (unit.row (r), testRow (r)) << "row " << r;

    auto t = unit.lastTransfer();
    ASSERT_EQ (t.messages.size(), 592u);
    EXPECT_EQ (t.messages[0].kind, EmulatedTransferDecoder::Kind::frameMarker);
    EXPECT_EQ (t.messages[1].kind, EmulatedTransferDecoder::Kind::startFrame);
    EXPECT_EQ (t.messages[2].noteIndex, 0);
    EXPECT_EQ (t.messages[589].noteIndex, 587);
    EXPECT_EQ (t.messages[590].kind, EmulatedTransferDecoder::Kind::frameMarker);
    EXPECT_EQ (t.messages[591].kind, EmulatedTransferDecoder::Kind::endMarker);
    EXPECT_EQ (t.messages[591].index, 591);
    EXPECT_EQ (t.arrivalTimes().size(), 592u);
}

TEST (EmulatedController, KeepsTheLastCompleteTransferWhileANewOneIsUnderWay)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    host.send (transfer (117, 1, 3));
    auto second = transfer (117, 0, 2);
    second.resize (100);
    host.send (second);

    EXPECT_EQ (unit.numCompleteTransfers(), 1);
    EXPECT_EQ (unit.startFrame().modeCode, 3);
    EXPECT_EQ (unit.rows().size(), 98u);
    EXPECT_FALSE (unit.currentTransfer().complete);
    EXPECT_EQ (unit.currentTransfer().numNotes, 98);

    // The unfinished transfer is dropped by the next marker and start frame.
    host.send (transfer (117, 0, 2));
    EXPECT_EQ (unit.numCompleteTransfers(), 2);
    EXPECT_EQ (unit.startFrame().modeCode, 2);
    EXPECT_EQ (unit.violations(), juce::StringArray ({ "incomplete last row: 2 of 6 bytes (98 nibble notes)",
                                                      "too few rows: 16 of 98",
                                                      "missing end marker after the closing frame marker (got F0 1D 03 00 75 00 02 7F F7)" }));
    EXPECT_EQ (unit.lastTransfer().messages.size(), 592u);

    unit.reset();
    EXPECT_TRUE (unit.violations().isEmpty());
    EXPECT_TRUE (unit.rows().empty());
    EXPECT_TRUE (unit.productPorts().getReceived().empty());
}

TEST (EmulatedController, ReportsMissingMarkersAndMessagesOutsideATransfer)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    host.send (nibble (0x12));
    EXPECT_TRUE (contains (unit.violations(), "stray message outside a transfer: 9F 01 02"));

    unit.reset();
    auto noMarker = transfer (117, 0, 1);
    noMarker.erase (noMarker.begin());
    host.send (noMarker);
    EXPECT_EQ (unit.violations(), juce::StringArray ("start frame without a frame marker before it: F0 1D 03 00 75 00 01 7F F7"));
    EXPECT_EQ (unit.rows().size(), 98u);

    unit.reset();
    host.send (transfer (117, 0, 1));
    host.send (nibble (0));
    EXPECT_EQ (unit.violations(), juce::StringArray ("message after the end marker: 9F 00 00"));

    unit.reset();
    auto noEnd = transfer (117, 0, 1);
    noEnd.pop_back();
    host.send (noEnd);
    host.send (nibble (0));
    EXPECT_TRUE (contains (unit.violations(), "missing end marker")) << unit.violations().joinIntoString ("\n");
    EXPECT_EQ (unit.numCompleteTransfers(), 0);

    unit.reset();
    auto noClosing = transfer (117, 0, 1);
    noClosing.erase (noClosing.end() - 2);
    host.send (noClosing);
    EXPECT_EQ (unit.violations(), juce::StringArray ("end marker without a closing frame marker"));
}

TEST (EmulatedController, ReportsNotesThatAreNotChannel16NibbleNotes)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    auto t = transfer (117, 0, 1);
    t[2] = juce::MidiMessage (0x90, 0x00, 0x09);        // channel 1
    t[3] = juce::MidiMessage (0x8F, 0x09, 0x00);        // Note Off
    t[4] = juce::MidiMessage (0x9F, 0x10, 0x08);        // nibble above 15
    t[5] = juce::MidiMessage (0x9F, 0x00, 0x00);        // velocity 0 stays a valid Note On
    host.send (t);

    auto v = unit.violations();
    EXPECT_TRUE (contains (v, "transfer message 2: not a Note On on channel 16: 90 00 09"));
    EXPECT_TRUE (contains (v, "transfer message 3: not a Note On on channel 16: 8F 09 00"));
    EXPECT_TRUE (contains (v, "transfer message 4: nibble value above 15: 9F 10 08"));
    EXPECT_FALSE (contains (v, "9F 00 00"));
    EXPECT_TRUE (contains (v, "incomplete last row")) << v.joinIntoString ("\n");
}

TEST (EmulatedController, ReportsTooFewAndTooManyRows)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    host.send (transfer (117, 0, 1, 587));
    EXPECT_EQ (unit.violations(), juce::StringArray ({ "incomplete last row: 5 of 6 bytes (587 nibble notes)",
                                                      "too few rows: 97 of 98" }));

    unit.reset();
    host.send (transfer (117, 0, 1, 600));
    EXPECT_EQ (unit.violations(), juce::StringArray ("more than 588 nibble notes (more than 98 rows)"));
    EXPECT_EQ (unit.rows().size(), 100u);
}

TEST (EmulatedController, ReportsSysExOfTheWrongShape)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    host.send ({ marker(), raw ({ 0xF0, 0x1E, 0x03, 0x00, 0x75, 0x00, 0x01, 0x7F, 0xF7 }) });
    host.send ({ marker(), raw ({ 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x00, 0x05, 0x7F, 0xF7 }) });
    host.send ({ marker(), raw ({ 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x00, 0x01, 0xF7 }) });
    EXPECT_EQ (unit.violations().size(), 3);
    EXPECT_TRUE (contains (unit.violations(), "SysEx of the wrong shape after a frame marker: F0 1E 03"));

    unit.reset();
    host.send (transfer (117, 0, 3));
    host.send (transfer (117, 1, 1));
    EXPECT_EQ (unit.violations(), juce::StringArray ({ "start frame HUI flag 0 does not fit mode code 3",
                                                      "start frame HUI flag 1 does not fit mode code 1" }));
}

TEST (EmulatedController, ReportsPausesBetweenArrivals)
{
    EXPECT_EQ (EmulatedController::pausesAfter ({ 0.0, 0.1, 1.2, 1.3, 3.4, 4.4 }), (std::vector<int> { 1, 3, 4 }));
    EXPECT_TRUE (EmulatedController::pausesAfter ({ 5.0 }).empty());

    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");

    auto t = transfer (117, 0, 1);
    host.send (t[0]);
    host.send (t[1]);
    juce::Thread::sleep (2);

    for (size_t i = 2; i < t.size(); ++i)
        host.send (t[i]);

    auto pauses = EmulatedController::pausesAfter (unit.lastTransfer().arrivalTimes());
    EXPECT_NE (std::find (pauses.begin(), pauses.end(), 1), pauses.end());
}

//==============================================================================
TEST (EmulatedController, EntersUpgradeModeOnARequestForItsFamily)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, quick (EmulatedController::trevanM()));
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Trevan M"));

    {
        Host host ("Trevan M");
        host.send ({ marker(), request9 (118) });
        EXPECT_EQ (unit.violations(), juce::StringArray ("upgrade-mode request for family 118, this unit's family is 117"));
        EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);

        host.send ({ marker(), request9 (117) });
        EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray());
        host.send (marker());   // lost: the port has gone
    }

    midi.waitUntilIdle();
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Zorv firmware upgrade"));
    EXPECT_EQ (MidiPorts::getInputNames(), juce::StringArray ("Zorv firmware upgrade"));
    ASSERT_EQ (unit.upgradeRequests().size(), 2u);
    EXPECT_EQ (unit.upgradeRequests()[1].length, 9);
    EXPECT_EQ (unit.productPorts().getReceived().size(), 4u);

    // The 8-byte form, a configured family and port name.
    auto c = quick (EmulatedController::trevanX());
    c.requestFamily = 85;
    c.upgradePortName = "Zorv firmware upgrade 2";
    EmulatedController x (midi, c);
    Host hostX ("Trevan X");
    hostX.send ({ marker(), request8 (85) });
    midi.waitUntilIdle();
    EXPECT_TRUE (x.violations().isEmpty());
    EXPECT_EQ (x.upgradeRequests()[0].length, 8);
    EXPECT_TRUE (MidiPorts::getOutputNames().contains ("Zorv firmware upgrade 2"));
}

TEST (EmulatedController, IgnoresRequestsWhenToldTo)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = quick (EmulatedController::trevanM());
    c.entersUpgradeMode = false;
    EmulatedController unit (midi, c);
    Host host ("Trevan M");

    host.send ({ marker(), request9 (117) });
    host.send (request9 (117));
    midi.waitUntilIdle();

    EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);
    EXPECT_EQ (unit.upgradeRequests().size(), 1u);
    EXPECT_TRUE (contains (unit.violations(), "upgrade-mode request without a frame marker"));
}

//==============================================================================
TEST (EmulatedController, AcknowledgesAFullUploadAndRebootsIntoProductMode)
{
    EXPECT_EQ (controlFrame (0x7F, 0x00).back(), 0x3A);
    EXPECT_EQ (controlFrame (0x02, 0x00).back(), 0xBD);
    EXPECT_EQ (controlFrame (0x00, 0x70).back(), 0x2B);

    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = quick (EmulatedController::trevanM());
    c.startsInUpgradeMode = true;
    EmulatedController unit (midi, c);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Zorv firmware upgrade"));

    auto image = testImage (513);
    {
        Host host ("Zorv firmware upgrade");
        host.sendFrame (controlFrame (0x7F, 0x00), true);
        host.sendFrame (controlFrame (0x00, 0x70), true);
        host.sendFrame (dataFrame (0, image, 0), false);
        host.sendFrame (dataFrame (1, image, 512), false);
        host.sendFrame (controlFrame (0x02, 0x00), true);
        midi.waitUntilIdle();

        EXPECT_EQ (host.collector.replies(), juce::StringArray ({ "9F 7F 00", "9F 00 00", "9F 01 00", "9F 01 00", "9F 02 00" }));
    }

    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
    using C = EmulatedController::Command;
    EXPECT_EQ (unit.commands(), (std::vector<C> { C::connect, C::erase, C::write, C::write, C::reset }));
    EXPECT_EQ (unit.frames()[3].argument, 1);
    EXPECT_EQ (unit.frames()[3].dataIndex, 1);
    EXPECT_EQ (unit.receivedImage().size(), 1024u);
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_EQ (unit.imageMismatch (testImage (512)), "received 1024 bytes, expected 512 for a file of 512");

    EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Trevan M"));
}

TEST (EmulatedController, ReportsBrokenFramesAndLeavesThemUnanswered)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = quick (EmulatedController::trevanM());
    c.startsInUpgradeMode = true;
    c.rebootsAfterReset = false;
    EmulatedController unit (midi, c);
    Host host ("Zorv firmware upgrade");
    auto image = testImage (1024);

    auto badSum = controlFrame (0x7F, 0x00);
    badSum.back() ^= 1;
    host.sendFrame (badSum, true);
    host.sendFrame (controlFrame (0x7F, 0x00), false);
    host.sendFrame (controlFrame (0x00, 0x71), true);
    host.sendFrame (controlFrame (0x05, 0x00), true);
    host.sendFrame (dataFrame (1, image, 0), false);
    host.sendFrame (dataFrame (2, image, 512), true);
    auto badData = dataFrame (3, image, 512);
    badData[100] ^= 0x40;
    host.sendFrame (badData, false);
    host.send ({ marker(), nibble (0x55), marker() });
    host.send (request9 (117));
    midi.waitUntilIdle();

    EXPECT_EQ (host.collector.replies(), juce::StringArray());
    auto badDataSum = sum (Bytes (badData.begin(), badData.end() - 1));
    juce::StringArray expected;
    expected.add ("upgrade mode, connect frame 0: checksum 3B, expected 3A");
    expected.add ("upgrade mode, connect frame 1: control frame without a frame marker before it");
    expected.add ("upgrade mode, erase frame 2: argument 71, expected 70");
    expected.add ("upgrade mode, frame 3: unknown command 05");
    expected.add ("upgrade mode, write frame 4: frame counter 01, expected 00");
    expected.add ("upgrade mode, write frame 5: data frame preceded by a frame marker");
    expected.add ("upgrade mode, write frame 6: checksum " + EmulatedWire::hexByte (badData.back())
                  + ", expected " + EmulatedWire::hexByte (badDataSum));
    expected.add ("incomplete frame of 1 bytes before a frame marker");
    expected.add ("upgrade mode, frame 7: SysEx in upgrade mode: F0 1D 03 00 75 00 7F 7F F7");
    EXPECT_EQ (unit.violations(), expected);
}

TEST (EmulatedController, StaysSilentOrAnswersAsItIsTold)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = quick (EmulatedController::trevanM());
    c.startsInUpgradeMode = true;
    c.rebootsAfterReset = false;
    c.ackVelocity = 0x40;
    EmulatedController unit (midi, c);
    Host host ("Zorv firmware upgrade");
    auto image = testImage (2048);

    auto upload = [&]
    {
        host.collector.clear();
        host.sendFrame (controlFrame (0x7F, 0x00), true);
        host.sendFrame (controlFrame (0x00, 0x70), true);

        for (int i = 0; i < 4; ++i)
            host.sendFrame (dataFrame (i, image, (size_t) i * 512), false);

        host.sendFrame (controlFrame (0x02, 0x00), true);
        midi.waitUntilIdle();
        return host.collector.replies();
    };

    unit.setAnswers (EmulatedController::Phase::erase, false);
    unit.setFrameNeverAnswered (1);
    unit.setFrameReplyDelay (2, 300);
    unit.setResetAnswer (EmulatedController::ResetAnswer::velocity7F);
    EXPECT_EQ (upload(), juce::StringArray ({ "9F 7F 40", "9F 01 40", "9F 01 40", "9F 02 7F", "9F 01 40" }));

    unit.setAnswers (EmulatedController::Phase::erase, true);
    unit.setAnswers (EmulatedController::Phase::reset, false);
    EXPECT_EQ (upload(), juce::StringArray ({ "9F 7F 40", "9F 00 40", "9F 01 40", "9F 01 40", "9F 01 40" }));

    unit.setSilent (true);
    EXPECT_EQ (upload(), juce::StringArray());
    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade);
}

TEST (EmulatedController, OutlivedActionsDoNotReachADestroyedUnit)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    {
        auto c = EmulatedController::trevanM();
        c.upgradeDelayMs = 20;
        EmulatedController unit (midi, c);
        Host host ("Trevan M");
        host.send ({ marker(), request9 (117) });
    }

    midi.waitUntilIdle();
    EXPECT_TRUE (MidiPorts::getOutputNames().isEmpty());
}
