#include "core/Messages.h"
#include "platform/MidiPorts.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/EmulatedWire.h"
#include "tests/support/ScopedMidiSystem.h"
#include "upgrader/DeviceHelpers.h"
#include "upgrader/FirmwareFrames.h"
#include "upgrader/Product.h"
#include "upgrader/UpgradeRequest.h"

#include <gtest/gtest.h>

#include <thread>

// The upgrader's own request builders, frame builders and senders against the
// emulated unit, which was written from the wire format alone: whatever the
// program puts on the wire, the unit must decode without a violation and
// answer as a real one would.
namespace
{
    using Command = EmulatedController::Command;
    using Bytes = std::vector<int>;

    juce::String hexOf (const juce::MidiMessage& m)
    {
        return juce::String::toHexString (m.getRawData(), m.getRawDataSize()).toUpperCase();
    }

    // The unit's answers as the upload's input handler would see them.
    class ReplyLog : public juce::MidiInputCallback
    {
    public:
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            std::lock_guard<std::mutex> l (lock);
            replies.add (hexOf (m));
            threads.push_back (std::this_thread::get_id());
        }

        juce::StringArray getReplies() const
        {
            std::lock_guard<std::mutex> l (lock);
            return replies;
        }

        bool noneArrivedOn (std::thread::id thread) const
        {
            std::lock_guard<std::mutex> l (lock);
            return std::find (threads.begin(), threads.end(), thread) == threads.end();
        }

    private:
        mutable std::mutex lock;
        juce::StringArray replies;
        std::vector<std::thread::id> threads;
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

        void sendControl (zorv::ControlFrame& frame)
        {
            zorv::sendControlFrame (*out, frame);
        }

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
        ports.sendControl (zorv::midiJoin);
        midi.waitUntilIdle();

        zorv::setEraseArgument (pid);
        ports.sendControl (zorv::midiErase);
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

        ports.sendControl (zorv::midiReset);
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

    // The bytes of each frame the unit decoded, read back from the nibble
    // notes on its port; frame markers are skipped.
    std::vector<Bytes> wireFrames (const EmulatedController& unit)
    {
        std::vector<Bytes> result;
        auto received = unit.upgradePorts().getReceived();
        size_t next = 0;

        for (auto& frame : unit.frames())
        {
            Bytes bytes;

            while ((int) bytes.size() < frame.size && next < received.size())
            {
                auto& m = received[next++].message;

                if (! EmulatedWire::isFrameMarker (m))
                    bytes.push_back (EmulatedWire::byteOf (m));
            }

            result.push_back (bytes);
        }

        return result;
    }

    Bytes tailOf (const Bytes& frame)
    {
        return frame.size() < 3 ? frame : Bytes (frame.end() - 3, frame.end());
    }

    EmulatedController::Config quick (EmulatedController::Config c)
    {
        c.upgradeDelayMs = 5;
        c.rebootDelayMs = 5;
        return c;
    }

    EmulatedController::Config inUpgradeMode (int pid, const juce::String& portName, int eraseArgument)
    {
        auto c = quick (EmulatedController::trevanM());
        c.productId = pid;
        c.portName = portName;
        c.requestFamily = pid;
        c.eraseArgument = eraseArgument;
        c.startsInUpgradeMode = true;
        c.rebootsAfterReset = false;
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
TEST (EmulatorCrossCheck, TrevanMRequestBringsTheUnitIntoUpgradeMode)
{
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, quick (EmulatedController::trevanM()));

    {
        // As the wizard does: the product from the port's name, then marker and request.
        const auto pid = zorv::Product::pidFromDeviceName ("Trevan M");
        ASSERT_EQ (pid, zorv::Product::TrevanM);

        auto out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf ("Trevan M"));
        ASSERT_NE (out, nullptr);
        out->sendMessageNow (Messages::frameMarker());
        out->sendMessageNow (zorv::makeFirmwareUpgradeRequest (pid));
    }

    midi.waitUntilIdle();

    EXPECT_TRUE (unit.violations().isEmpty()) << violationsOf (unit);
    ASSERT_EQ (unit.upgradeRequests().size(), 1u);
    EXPECT_EQ (unit.upgradeRequests()[0].family, 117);
    EXPECT_EQ (unit.upgradeRequests()[0].length, 9);
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade);

    // The product ports have gone; the upgrader's rules see the new ones as
    // one upgrade-mode device and map the shown name back to the real port.
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Zorv firmware upgrade"));
    EXPECT_EQ (MidiPorts::getInputNames(), juce::StringArray ("Zorv firmware upgrade"));
    EXPECT_EQ (zorv::DeviceHelpers::getDeviceNames (true), juce::StringArray ("Zorv firmware upgrade manager"));
    EXPECT_EQ (zorv::DeviceHelpers::convFwugMan ("Zorv firmware upgrade manager"), "Zorv firmware upgrade");
    EXPECT_TRUE (zorv::DeviceHelpers::isFwugPortName (MidiPorts::getOutputNames()[0]));
}

TEST (EmulatorCrossCheck, SharedFamilyProductsAskWithTheEightByteForm)
{
    const std::pair<const char*, int> products[] = { { "Fennics", 26 }, { "Dovra", 81 } };

    for (const auto& [portName, expectedPid] : products)
    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);

        auto c = quick (EmulatedController::trevanM());
        c.productId = expectedPid;
        c.portName = portName;
        c.requestFamily = 85;
        EmulatedController unit (midi, c);

        {
            const auto pid = zorv::Product::pidFromDeviceName (portName);
            EXPECT_EQ ((int) pid, expectedPid);

            auto out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf (portName));
            ASSERT_NE (out, nullptr);
            out->sendMessageNow (Messages::frameMarker());
            out->sendMessageNow (zorv::makeFirmwareUpgradeRequestX (pid, 8));
        }

        midi.waitUntilIdle();

        EXPECT_TRUE (unit.violations().isEmpty()) << portName << ": " << violationsOf (unit);
        ASSERT_EQ (unit.upgradeRequests().size(), 1u) << portName;
        EXPECT_EQ (unit.upgradeRequests()[0].family, 85) << portName;
        EXPECT_EQ (unit.upgradeRequests()[0].length, 8) << portName;
        EXPECT_EQ (unit.mode(), EmulatedController::Mode::upgrade) << portName;
        EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Zorv firmware upgrade")) << portName;
    }
}

//==============================================================================
TEST (EmulatorCrossCheck, UploadIsDecodedInOrderAndAcknowledged)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, quick (EmulatedController::trevanM()));

    {
        auto out = MidiPorts::openOutput (MidiPorts::getOutputNames().indexOf ("Trevan M"));
        ASSERT_NE (out, nullptr);
        out->sendMessageNow (Messages::frameMarker());
        out->sendMessageNow (zorv::makeFirmwareUpgradeRequest (zorv::Product::TrevanM));
    }

    midi.waitUntilIdle();
    ASSERT_EQ (unit.mode(), EmulatedController::Mode::upgrade);

    // Two whole frames and a short third one of 76 bytes.
    const auto image = testImage (1100);
    const auto testThread = std::this_thread::get_id();

    {
        UpgradePorts ports;
        ASSERT_TRUE (ports.isOpen()) << ports.name;
        upload (midi, ports, zorv::Product::TrevanM, image);

        // Connect, erase, one per data frame, reset; on the MIDI thread.
        EXPECT_EQ (ports.log.getReplies(),
                   juce::StringArray ({ "9F 7F 00", "9F 00 00", "9F 01 00", "9F 01 00", "9F 01 00", "9F 02 00" }));
        EXPECT_TRUE (ports.log.noneArrivedOn (testThread));
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
        EXPECT_TRUE (frames[i].isSound()) << i;
    }

    EXPECT_EQ (frames[2].argument, 0x00);
    EXPECT_EQ (frames[3].argument, 0x01);
    EXPECT_EQ (frames[4].argument, 0x02);

    // The exact bytes the unit decoded.
    const auto wire = wireFrames (unit);
    ASSERT_EQ (wire.size(), 6u);
    EXPECT_EQ (Bytes (wire[0].begin(), wire[0].begin() + 14),
               (Bytes { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49 }));
    EXPECT_EQ (tailOf (wire[0]), (Bytes { 0x7F, 0x00, 0x3A }));
    EXPECT_EQ (tailOf (wire[1]), (Bytes { 0x00, 0x70, 0x2B }));
    EXPECT_EQ (tailOf (wire[5]), (Bytes { 0x02, 0x00, 0xBD }));

    for (size_t i = 2; i < 5; ++i)
    {
        ASSERT_EQ (wire[i].size(), 530u);
        int sum = 0;

        for (size_t k = 0; k < 529; ++k)
            sum += wire[i][k];

        EXPECT_EQ (wire[i][529], sum & 0xFF) << i;
        EXPECT_EQ (wire[i][16], 0x00) << i;
    }

    // The short last frame came padded with 00.
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_EQ (unit.receivedImage().size(), 1536u);
    EXPECT_TRUE (std::all_of (wire[4].begin() + 17 + 76, wire[4].begin() + 529, [] (int b) { return b == 0; }));

    // After the reset the unit reboots into product mode.
    midi.waitUntilIdle();
    EXPECT_EQ (unit.mode(), EmulatedController::Mode::product);
    EXPECT_EQ (MidiPorts::getOutputNames(), juce::StringArray ("Trevan M"));
}

TEST (EmulatorCrossCheck, EraseArgumentFollowsTheProduct)
{
    ScopedEraseFrame restore;

    struct Case
    {
        int pid;
        const char* portName;
        int eraseArgument;
        Bytes tail;
    };

    const Case cases[] = {
        { 94,   "WexelPro X", 0x71, { 0x00, 0x71, 0x2C } },
        { 130,  "WexelPro XS", 0x71, { 0x00, 0x71, 0x2C } },
        { 118,  "Trevan X",   0x70, { 0x00, 0x70, 0x2B } },
        { 2052, "Trevan Air RX", 0x70, { 0x00, 0x70, 0x2B } },
    };

    for (const auto& c : cases)
    {
        VirtualMidiSystem midi;
        ScopedMidiSystem scope (midi);
        EmulatedController unit (midi, inUpgradeMode (c.pid, c.portName, c.eraseArgument));
        UpgradePorts ports;
        ASSERT_TRUE (ports.isOpen());

        ports.sendControl (zorv::midiJoin);
        zorv::setEraseArgument (c.pid);
        ports.sendControl (zorv::midiErase);
        midi.waitUntilIdle();

        EXPECT_TRUE (unit.violations().isEmpty()) << c.pid << ": " << violationsOf (unit);
        EXPECT_EQ (ports.log.getReplies(), juce::StringArray ({ "9F 7F 00", "9F 00 00" })) << c.pid;

        const auto wire = wireFrames (unit);
        ASSERT_EQ (wire.size(), 2u) << c.pid;
        EXPECT_EQ (tailOf (wire[1]), c.tail) << c.pid;
    }
}

TEST (EmulatorCrossCheck, FrameCounterWrapsAfterFF)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);

    auto c = inUpgradeMode (117, "Trevan M", 0x70);
    c.replyDelayMs = 0;
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
    {
        const auto& f = frames[(size_t) k + 2];
        EXPECT_EQ (f.command, Command::write) << k;
        EXPECT_EQ (f.argument, k & 0xFF) << k;
        EXPECT_EQ (f.dataIndex, k) << k;
    }

    EXPECT_EQ (ports.log.getReplies().size(), 2 + 258 + 1);
    EXPECT_EQ (ports.log.getReplies()[2 + 256], "9F 01 00");
}

TEST (EmulatorCrossCheck, CorruptedDataFrameIsReportedAndNotAcknowledged)
{
    ScopedEraseFrame restore;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController unit (midi, inUpgradeMode (117, "Trevan M", 0x70));
    UpgradePorts ports;
    ASSERT_TRUE (ports.isOpen());

    // One data byte flipped after the program has sealed the frame.
    upload (midi, ports, 117, testImage (512), [] (zorv::DataFrame& frame) { frame[17 + 200] ^= 0x01; });

    const auto violations = unit.violations();
    ASSERT_EQ (violations.size(), 1) << violationsOf (unit);
    EXPECT_TRUE (violations[0].contains ("write frame 2: checksum")) << violations[0];

    ASSERT_EQ (unit.frames().size(), 4u);
    EXPECT_FALSE (unit.frames()[2].checksumOk);
    EXPECT_TRUE (unit.frames()[2].layoutOk);

    // The connect, the erase and the reset are answered; the broken frame is not.
    EXPECT_EQ (ports.log.getReplies(), juce::StringArray ({ "9F 7F 00", "9F 00 00", "9F 02 00" }));
}
