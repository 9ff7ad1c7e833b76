#include "core/Messages.h"
#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/DeviceHelpers.h"
#include "upgrader/FirmwareFrames.h"
#include "upgrader/Product.h"
#include "upgrader/UpgradeRequest.h"

#include <gtest/gtest.h>

// The upgrader's own request builders, frame builders and senders against the
// emulated unit, which was written from the wire format alone: whatever the
// program puts on the wire, the unit must decode without a violation and
// answer as a real one would. The unit checks every frame's header, command,
// argument, counter and checksum itself.
namespace
{
    using Command = EmulatedController::Command;

    // The unit's answers as the upload's input handler would see them. They
    // come through the in-memory device's replies, whose tests prove that
    // they arrive on the MIDI thread.
    class ReplyLog : public juce::MidiInputCallback
    {
    public:
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            std::lock_guard<std::mutex> l (lock);
            replies.add (juce::String::toHexString (m.getRawData(), m.getRawDataSize()).toUpperCase());
        }

        juce::StringArray getReplies() const
        {
            std::lock_guard<std::mutex> l (lock);
            return replies;
        }

    private:
        mutable std::mutex lock;
        juce::StringArray replies;
    };

    // A unit in upgrade mode seen from the program: the port the upgrader's
    // name rules pick, opened through the port layer the way the upload
    // handler opens it (input by name ignoring case, output by exact name).
    struct UpgradePorts
    {
        UpgradePorts()
        {
            name = zorv::DeviceHelpers::convFwugMan ("Zorv firmware upgrade manager");
            out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf (name));
            in = MidiPorts::openInput (MidiPorts::getInputNames().indexOf (name, true), log);

            if (in != nullptr)
                in->start();
        }

        bool isOpen() const     { return out != nullptr && in != nullptr; }

        // No marker before a data frame; each nibble note is the only event
        // of a buffer that is sent and then cleared.
        void sendData (const zorv::DataFrame& frame)
        {
            for (auto b : frame)
            {
                buffer.addEvent (Messages::nibbleNote (b), 0);
                sendMidiBuffer (*out, buffer);
                buffer.clear();
            }
        }

        juce::String name;
        ReplyLog log;
        juce::MidiBuffer buffer;
        std::unique_ptr<MidiOutputPort> out;
        std::unique_ptr<MidiInputPort> in;
    };

    // Connect, erase, every data frame, reset: the upload's order, waiting
    // for the unit after each frame as the upload waits for its answer.
    void upload (VirtualMidiSystem& midi, UpgradePorts& ports, int pid, const juce::MemoryBlock& image,
                 const std::function<void (zorv::DataFrame&)>& tamper = {})
    {
        zorv::sendControlFrame (*ports.out, zorv::midiJoin);
        midi.waitUntilIdle();

        zorv::setEraseArgument (pid);
        zorv::sendControlFrame (*ports.out, zorv::midiErase);
        midi.waitUntilIdle();

        zorv::DataFrame frame;
        juce::uint8 counter = 0;
        auto* data = static_cast<const juce::uint8*> (image.getData());

        for (size_t offset = 0; offset < image.getSize(); offset += zorv::dataBytesPerFrame)
        {
            zorv::buildDataFrame (frame, counter++, data, image.getSize(), offset);

            if (tamper)
                tamper (frame);

            ports.sendData (frame);
            midi.waitUntilIdle();
        }

        zorv::sendControlFrame (*ports.out, zorv::midiReset);
        midi.waitUntilIdle();
    }

    // Every value 00..FF appears, nibble extremes included, in no simple order.
    juce::MemoryBlock testImage (size_t size)
    {
        juce::MemoryBlock image (size);

        for (size_t i = 0; i < size; ++i)
            image[i] = (char) ((i * 37 + 11) & 0xFF);

        return image;
    }

    EmulatedController::Config unitConfig (int pid, const juce::String& portName, int requestFamily,
                                           bool startsInUpgradeMode = false, int eraseArgument = 0x70)
    {
        auto c = EmulatedController::trevanM();
        c.productId = pid;
        c.portName = portName;
        c.requestFamily = requestFamily;
        c.eraseArgument = eraseArgument;
        c.startsInUpgradeMode = startsInUpgradeMode;
        c.upgradeDelayMs = 5;
        c.rebootDelayMs = 5;
        return c;
    }

    juce::String violationsOf (const EmulatedController& unit)
    {
        return unit.violations().joinIntoString ("\n");
    }

    // Restores the erase frame the other suites expect.
    struct ScopedEraseFrame
    {
        ~ScopedEraseFrame()
        {
            zorv::setEraseArgument (zorv::Product::TrevanM);
            zorv::sealControlFrame (zorv::midiErase);
        }
    };
}

//==============================================================================
TEST (EmulatorCrossCheck, RequestOfTheProductsFamilyBringsTheUnitIntoUpgradeMode)
{
    struct Case { const char* portName; int pid, family, length; };

    for (const auto& c : { Case { "Trevan M", 117, 117, 9 }, Case { "Fennics", 26, 85, 8 }, Case { "Dovra", 81, 85, 8 } })
    {
        SCOPED_TRACE (c.portName);
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, unitConfig (c.pid, c.portName, c.family));

        {
            // As the wizard does: the product from the port's name, then marker and request.
            const auto pid = zorv::Product::pidFromDeviceName (c.portName);
            ASSERT_EQ ((int) pid, c.pid);

            auto out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf (c.portName));
            ASSERT_NE (out, nullptr);
            out->sendMessageNow (Messages::frameMarker());
            out->sendMessageNow (c.length == 9 ? zorv::makeFirmwareUpgradeRequest (pid)
                                               : zorv::makeFirmwareUpgradeRequestX (pid, 8));
        }

        midi.waitUntilIdle();

        EXPECT_TRUE (unit.violations().isEmpty()) << violationsOf (unit);
        ASSERT_EQ (unit.upgradeRequests().size(), 1u);
        EXPECT_EQ (unit.upgradeRequests()[0].family, c.family);
        EXPECT_EQ (unit.upgradeRequests()[0].length, c.length);
        EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade);

        // The product ports have gone; the upgrader's rules see the new ones as
        // one upgrade-mode device and map the shown name back to the real port.
        EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Zorv firmware upgrade"));
        EXPECT_EQ (MidiPorts::getInputNames(), juce::StringArray ("Zorv firmware upgrade"));
        EXPECT_EQ (zorv::DeviceHelpers::getDeviceNames (true), juce::StringArray ("Zorv firmware upgrade manager"));
        EXPECT_EQ (zorv::DeviceHelpers::convFwugMan ("Zorv firmware upgrade manager"), "Zorv firmware upgrade");
    }
}

//==============================================================================
TEST (EmulatorCrossCheck, UploadIsDecodedInOrderAndAcknowledged)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, unitConfig (117, "Trevan M", 117, true));

    // Two whole frames and a short third one of 76 bytes.
    const auto image = testImage (1100);

    {
        UpgradePorts ports;
        ASSERT_TRUE (ports.isOpen()) << ports.name;
        upload (midi, ports, zorv::Product::TrevanM, image);

        // Connect, erase, one per data frame, reset.
        EXPECT_EQ (ports.log.getReplies(),
                   juce::StringArray ({ "9F 7F 00", "9F 00 00", "9F 01 00", "9F 01 00", "9F 01 00", "9F 02 00" }));
    }

    EXPECT_TRUE (unit.violations().isEmpty()) << violationsOf (unit);
    EXPECT_EQ (unit.commands(),
               (std::vector<Command> { Command::connect, Command::erase, Command::write, Command::write,
                                       Command::write, Command::reset }));

    const auto frames = unit.frames();
    ASSERT_EQ (frames.size(), 6u);

    for (size_t i = 0; i < frames.size(); ++i)
    {
        const bool data = frames[i].command == Command::write;
        EXPECT_EQ (frames[i].size, data ? 530 : 17) << i;
        EXPECT_EQ (frames[i].afterMarker, ! data) << i;
        EXPECT_EQ (frames[i].argument, data ? (int) i - 2 : i == 1 ? 0x70 : 0x00) << i;
        EXPECT_TRUE (frames[i].isSound()) << i;
    }

    // The short last frame came padded with 00.
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_EQ (unit.receivedImage().size(), 1536u);

    // After the reset the unit reboots into product mode.
    midi.waitUntilIdle();
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Trevan M"));
}

// The erase argument of every product is held to its table by the frame
// tests; here the unit decodes the other argument than the upload's.
TEST (EmulatorCrossCheck, WexelProXErasesWithItsOwnArgument)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, unitConfig (94, "WexelPro X", 94, true, 0x71));
    UpgradePorts ports;
    ASSERT_TRUE (ports.isOpen());

    zorv::sendControlFrame (*ports.out, zorv::midiJoin);
    zorv::setEraseArgument (94);
    zorv::sendControlFrame (*ports.out, zorv::midiErase);
    midi.waitUntilIdle();

    EXPECT_TRUE (unit.violations().isEmpty()) << violationsOf (unit);
    EXPECT_EQ (ports.log.getReplies(), juce::StringArray ({ "9F 7F 00", "9F 00 00" }));
    ASSERT_EQ (unit.frames().size(), 2u);
    EXPECT_EQ (unit.frames()[1].argument, 0x71);
}

TEST (EmulatorCrossCheck, FrameCounterWrapsAfterFF)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    auto c = unitConfig (117, "Trevan M", 117, true);
    c.replyDelayMs = 0;
    c.rebootsAfterReset = false;
    EmulatedController unit (midi, c);
    UpgradePorts ports;
    ASSERT_TRUE (ports.isOpen());

    // 258 frames: counters 00..FF, then 00 and 01; the last holds one byte.
    const auto image = testImage (257 * 512 + 1);
    upload (midi, ports, 117, image);

    EXPECT_TRUE (unit.violations().isEmpty()) << violationsOf (unit);
    EXPECT_EQ (unit.imageMismatch (image), "");

    const auto frames = unit.frames();
    ASSERT_EQ (frames.size(), 2u + 258u + 1u);

    for (int k = 0; k < 258; ++k)
        EXPECT_EQ (frames[(size_t) k + 2].argument, k & 0xFF) << k;

    EXPECT_EQ (ports.log.getReplies().size(), 2 + 258 + 1);
}

TEST (EmulatorCrossCheck, CorruptedDataFrameIsReportedAndNotAcknowledged)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    auto c = unitConfig (117, "Trevan M", 117, true);
    c.rebootsAfterReset = false;
    EmulatedController unit (midi, c);
    UpgradePorts ports;
    ASSERT_TRUE (ports.isOpen());

    // One data byte flipped after the program has sealed the frame.
    upload (midi, ports, 117, testImage (512), [] (zorv::DataFrame& frame) { frame[17 + 200] ^= 0x01; });

    ASSERT_EQ (unit.violations().size(), 1) << violationsOf (unit);
    EXPECT_TRUE (unit.violations()[0].contains ("write frame 2: checksum")) << violationsOf (unit);

    // The connect, the erase and the reset are answered; the broken frame is not.
    EXPECT_EQ (ports.log.getReplies(), juce::StringArray ({ "9F 7F 00", "9F 00 00", "9F 02 00" }));
}
