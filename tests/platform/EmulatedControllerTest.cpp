#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/EmulatedWire.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

// The emulated unit's own fault detection, fed streams built by hand from the
// wire format, never by the program. How it decodes sound streams is proven
// end to end by the mapping-transfer and upgrader cross-check suites.
namespace
{
    using Bytes = std::vector<juce::uint8>;
    using Stream = std::vector<juce::MidiMessage>;

    juce::MidiMessage raw (const Bytes& b)       { return juce::MidiMessage (b.data(), (int) b.size()); }
    juce::MidiMessage marker()                   { return juce::MidiMessage (0xEF, 0x7F, 0x7F); }
    juce::MidiMessage nibble (int b)             { return juce::MidiMessage (0x9F, (b >> 4) & 0x0F, b & 0x0F); }

    juce::MidiMessage request9 (int family)
    {
        return raw ({ 0xF0, 0x1D, 0x03, (juce::uint8) (family >> 7), (juce::uint8) (family & 0x7F), 0x00, 0x7F, 0x7F, 0xF7 });
    }

    // Marker, start frame of a Trevan M, `numNotes` nibble notes, marker, end marker.
    Stream transfer (int hui, int mode, int numNotes = 588)
    {
        Stream s { marker(), raw ({ 0xF0, 0x1D, 0x03, 0x00, 0x75, (juce::uint8) hui, (juce::uint8) mode, 0x7F, 0xF7 }) };

        for (int i = 0; i < numNotes; ++i)
            s.push_back (nibble (i * 7));

        s.push_back (marker());
        s.push_back (juce::MidiMessage (0x9E, 0x7F, 0x7F));
        return s;
    }

    Stream edited (Stream s, const std::function<void (Stream&)>& edit)
    {
        edit (s);
        return s;
    }

    juce::uint8 sum (const Bytes& b)
    {
        int s = 0;
        for (auto x : b) s += x;
        return (juce::uint8) (s & 0xFF);
    }

    // Header, body, and the checksum over both.
    Bytes frame (const Bytes& body)
    {
        Bytes f { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49 };
        f.insert (f.end(), body.begin(), body.end());
        f.push_back (sum (f));
        return f;
    }

    Bytes controlFrame (int command, int argument)   { return frame ({ (juce::uint8) command, (juce::uint8) argument }); }

    Bytes dataFrame (int counter, const juce::MemoryBlock& image, size_t offset)
    {
        Bytes body { 0x01, (juce::uint8) counter, 0x00 };

        for (size_t i = 0; i < 512; ++i)
            body.push_back (offset + i < image.getSize() ? (juce::uint8) image[offset + i] : 0);

        return frame (body);
    }

    juce::MemoryBlock testImage (size_t size)
    {
        juce::MemoryBlock image (size);

        for (size_t i = 0; i < size; ++i)
            image[i] = (char) ((i * 7 + 3) & 0xFF);

        return image;
    }

    // The program's side of the wire: ports opened through the port layer,
    // the unit's answers collected as hex.
    struct Host : juce::MidiInputCallback
    {
        explicit Host (const juce::String& name)
        {
            out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf (name));
            in = MidiPorts::openInput (MidiPorts::getInputNames().indexOf (name), *this);

            if (in != nullptr)
                in->start();
        }

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            std::lock_guard<std::mutex> l (lock);
            got.add (juce::String::toHexString (m.getRawData(), m.getRawDataSize()).toUpperCase());
        }

        juce::StringArray replies (bool clear = false)
        {
            std::lock_guard<std::mutex> l (lock);
            auto result = got;

            if (clear)
                got.clear();

            return result;
        }

        void send (const Stream& all)   { for (auto& m : all) out->sendMessageNow (m); }

        void sendFrame (const Bytes& frame, bool withMarker)
        {
            if (withMarker)
                out->sendMessageNow (marker());

            for (auto b : frame)
                out->sendMessageNow (nibble (b));
        }

        std::mutex lock;
        juce::StringArray got;
        std::unique_ptr<MidiOutputPort> out;
        std::unique_ptr<MidiInputPort> in;
    };

    EmulatedController::Config inUpgradeMode()
    {
        auto c = EmulatedController::trevanM();
        c.upgradeDelayMs = 5;
        c.rebootDelayMs = 5;
        c.startsInUpgradeMode = true;
        c.rebootsAfterReset = false;
        return c;
    }
}

//==============================================================================
TEST (EmulatedController, ReportsEveryBreakOfTheTransferFormat)
{
    struct Case
    {
        const char* what;
        Stream stream;
        juce::StringArray violations;
        size_t rows;
    };

    const Case cases[] =
    {
        { "stray note", { nibble (0x12) }, { "stray message outside a transfer: 9F 01 02" }, 0 },
        { "no opening marker", edited (transfer (0, 1), [] (Stream& s) { s.erase (s.begin()); }),
          { "start frame without a frame marker before it: F0 1D 03 00 75 00 01 7F F7" }, 98 },
        { "message after the end", edited (transfer (0, 1), [] (Stream& s) { s.push_back (nibble (0)); }),
          { "message after the end marker: 9F 00 00" }, 98 },
        { "no end marker", edited (transfer (0, 1), [] (Stream& s) { s.back() = nibble (0); }),
          { "missing end marker after the closing frame marker (got 9F 00 00)",
            "stray message outside a transfer: 9F 00 00" }, 0 },
        { "no closing marker", edited (transfer (0, 1), [] (Stream& s) { s.erase (s.end() - 2); }),
          { "end marker without a closing frame marker" }, 98 },
        { "notes that are no nibble notes", edited (transfer (0, 1), [] (Stream& s)
          {
              s[2] = juce::MidiMessage (0x90, 0x00, 0x09);      // channel 1
              s[3] = juce::MidiMessage (0x8F, 0x09, 0x00);      // Note Off
              s[4] = juce::MidiMessage (0x9F, 0x10, 0x08);      // nibble above 15
              s[5] = juce::MidiMessage (0x9F, 0x00, 0x00);      // velocity 0 stays a valid Note On
          }),
          { "transfer message 2: not a Note On on channel 16: 90 00 09",
            "transfer message 3: not a Note On on channel 16: 8F 09 00",
            "transfer message 4: nibble value above 15: 9F 10 08",
            "incomplete last row: 4 of 6 bytes (586 nibble notes)", "too few rows: 97 of 98" }, 97 },
        { "one note short", transfer (0, 1, 587),
          { "incomplete last row: 5 of 6 bytes (587 nibble notes)", "too few rows: 97 of 98" }, 97 },
        { "too many notes", transfer (0, 1, 600), { "more than 588 nibble notes (more than 98 rows)" }, 100 },
        { "SysEx of the wrong shape",
          { marker(), raw ({ 0xF0, 0x1E, 0x03, 0x00, 0x75, 0x00, 0x01, 0x7F, 0xF7 }),
            marker(), raw ({ 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x00, 0x05, 0x7F, 0xF7 }),
            marker(), raw ({ 0xF0, 0x1D, 0x03, 0x00, 0x75, 0x00, 0x01, 0xF7 }) },
          { "SysEx of the wrong shape after a frame marker: F0 1E 03 00 75 00 01 7F F7",
            "SysEx of the wrong shape after a frame marker: F0 1D 03 00 75 00 05 7F F7",
            "SysEx of the wrong shape after a frame marker: F0 1D 03 00 75 00 01 F7" }, 0 },
        { "HUI flag against mode", edited (transfer (0, 3), [] (Stream& s)
          {
              const auto next = transfer (1, 1);
              s.insert (s.end(), next.begin(), next.end());
          }),
          { "start frame HUI flag 0 does not fit mode code 3", "start frame HUI flag 1 does not fit mode code 1" }, 98 },
        { "transfer cut short by the next", edited (transfer (0, 2), [] (Stream& s)
          {
              const auto next = transfer (0, 2);
              s.resize (100);
              s.insert (s.end(), next.begin(), next.end());
          }),
          { "incomplete last row: 2 of 6 bytes (98 nibble notes)", "too few rows: 16 of 98",
            "missing end marker after the closing frame marker (got F0 1D 03 00 75 00 02 7F F7)" }, 98 },
    };

    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, EmulatedController::trevanM());
    Host host ("Trevan M");
    ASSERT_NE (host.out, nullptr);

    for (const auto& c : cases)
    {
        unit.reset();
        host.send (c.stream);
        EXPECT_EQ (unit.violations().joinIntoString ("\n"), c.violations.joinIntoString ("\n")) << c.what;
        EXPECT_EQ (unit.rows().size(), c.rows) << c.what;
    }
}

TEST (EmulatedController, PausesAfterListsTheGapsOfAtLeastTheMinimum)
{
    EXPECT_EQ (EmulatedController::pausesAfter ({ 0.0, 0.1, 1.2, 1.3, 3.4, 4.4 }), (std::vector<int> { 1, 3, 4 }));
    EXPECT_TRUE (EmulatedController::pausesAfter ({ 5.0 }).empty());
}

//==============================================================================
TEST (EmulatedController, ReportsUpgradeRequestsOfAnotherFamilyOrWithoutMarker)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = EmulatedController::trevanM();
    c.entersUpgradeMode = false;
    EmulatedController unit (midi, c);
    Host host ("Trevan M");

    host.send ({ marker(), request9 (118) });
    host.send ({ request9 (117) });
    host.send ({ marker(), request9 (117) });
    midi.waitUntilIdle();

    EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);
    EXPECT_EQ (unit.upgradeRequests().size(), 2u);
    EXPECT_EQ (unit.violations().joinIntoString ("\n"),
               "upgrade-mode request for family 118, this unit's family is 117\n"
               "upgrade-mode request without a frame marker before it (ignored): F0 1D 03 00 75 00 7F 7F F7");
}

TEST (EmulatedController, ReportsBrokenFramesAndLeavesThemUnanswered)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, inUpgradeMode());
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
    host.send ({ request9 (117) });
    midi.waitUntilIdle();

    EXPECT_EQ (host.replies(), juce::StringArray());
    const auto badDataSum = sum (Bytes (badData.begin(), badData.end() - 1));
    const juce::StringArray expected {
        "upgrade mode, connect frame 0: checksum 3B, expected 3A",
        "upgrade mode, connect frame 1: control frame without a frame marker before it",
        "upgrade mode, erase frame 2: argument 71, expected 70",
        "upgrade mode, frame 3: unknown command 05",
        "upgrade mode, write frame 4: frame counter 01, expected 00",
        "upgrade mode, write frame 5: data frame preceded by a frame marker",
        "upgrade mode, write frame 6: checksum " + EmulatedWire::hexByte (badData.back())
            + ", expected " + EmulatedWire::hexByte (badDataSum),
        "incomplete frame of 1 bytes before a frame marker",
        "upgrade mode, frame 7: SysEx in upgrade mode: F0 1D 03 00 75 00 7F 7F F7" };
    EXPECT_EQ (unit.violations(), expected);
}

TEST (EmulatedController, StaysSilentOrAnswersAsItIsTold)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = inUpgradeMode();
    c.ackVelocity = 0x40;
    EmulatedController unit (midi, c);
    Host host ("Zorv firmware upgrade");
    auto image = testImage (2048);

    auto upload = [&]
    {
        host.sendFrame (controlFrame (0x7F, 0x00), true);
        host.sendFrame (controlFrame (0x00, 0x70), true);

        for (int i = 0; i < 4; ++i)
            host.sendFrame (dataFrame (i, image, (size_t) i * 512), false);

        host.sendFrame (controlFrame (0x02, 0x00), true);
        midi.waitUntilIdle();
        return host.replies (true);
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
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade);

    // The received image against the file: equal, of another size, one byte off.
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_EQ (unit.imageMismatch (testImage (512)), "received 2048 bytes, expected 512 for a file of 512");
    auto other = image;
    other[700] = (char) (other[700] ^ 1);
    EXPECT_TRUE (unit.imageMismatch (other).startsWith ("byte 700 is ")) << unit.imageMismatch (other);
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
