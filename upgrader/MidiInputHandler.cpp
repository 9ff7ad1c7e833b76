#include "upgrader/MidiInputHandler.h"

#include "core/Messages.h"
#include "platform/MidiPorts.h"
#include "platform/RegularFile.h"
#include "upgrader/FirmwareFrames.h"
#include "upgrader/SleepMs.h"

#include <cstring>

namespace zorv
{
namespace
{
    // The notes by which a unit in upgrade mode names what it acknowledges;
    // a velocity of 7F, whatever the note, is its "power cycle me" answer.
    constexpr int ackStatus = 0x9F;
    constexpr int eraseNote = 0x00;
    constexpr int frameNote = 0x01;
    constexpr int resetNote = 0x02;
    constexpr int connectNote = 0x7F;
    constexpr int velocity7F = 0x7F;

    const char* const noInputText = "No MIDI input device is open";
    const char* const noOutputText = "No MIDI output device is open";
    const char* const badImageText = "Firmware exception!";
    const char* const noConnectText = "Could not connect to hardware";
    const char* const frameFailedText = "Could not write new firmware";
    const char* const powerCycleText = "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, "
                                       "then turn back on for changes to take effect";

    constexpr int pacingPauseMs = 1;

    // The pause between two messages of a frame. It runs the message loop, so
    // whatever the user does meanwhile is handled in the middle of a frame,
    // which the unit expects to go on within moments. The wizard protects the
    // interface while it uploads, and nothing that can be dispatched then
    // opens a modal box or quits: a box's loop would hold the frame for as
    // long as the box stays open, and after a quit the loop dispatches
    // nothing more, so the window would stand still for the rest of the upload.
    void pacingPause()
    {
        pump (pacingPauseMs);
    }
}

FirmwareUpgradeComponent::MidiInputHandler::MidiInputHandler (FirmwareUpgradeComponent* ownerToUse, int pidToUse)
    : owner (ownerToUse), pid (pidToUse)
{
}

FirmwareUpgradeComponent::MidiInputHandler::~MidiInputHandler()
{
    image.free();
    output.reset();

    // Closing the input waits for a callback in progress, so no callback can
    // touch the flags once the handler goes.
    input.reset();
}

//==============================================================================
void FirmwareUpgradeComponent::MidiInputHandler::start (const juce::String& portName)
{
    stop();

    // stop() leaves a lone output open, so both are replaced here whatever
    // was open before.
    input.reset();
    output.reset();

    auto inputIndex = MidiPorts::getInputNames().indexOf (portName, true);

    if (inputIndex >= 0)
        input = MidiPorts::openInput (inputIndex, *this);

    auto outputIndex = MidiPorts::getOutputNames().indexOf (portName, false);

    if (outputIndex >= 0)
        output = MidiPorts::openOutput (outputIndex);

    if (input != nullptr)
        input->start();
}

void FirmwareUpgradeComponent::MidiInputHandler::stop()
{
    if (input == nullptr)
        return;

    input->stop();
    input.reset();
    output.reset();
}

void FirmwareUpgradeComponent::MidiInputHandler::openProgram (const juce::File& fileToOpen)
{
    size = 0;
    image.free();
    file = fileToOpen;

    juce::MemoryBlock bytes;

    // The upload refuses anything of maxImageSize bytes or more, so reading
    // up to that limit is enough to know; a huge file is never pulled into
    // memory whole. A FIFO or device would block the read for good: anything
    // but an ordinary file reads as an empty image, like an unreadable one.
    if (RegularFile::exists (file))
    {
        juce::FileInputStream stream (file);

        if (stream.openedOk())
            stream.readIntoMemoryBlock (bytes, (ssize_t) maxImageSize);
    }

    // The trailing 00 lets a reader that runs one byte past the image end
    // still read inside the buffer.
    image.calloc (bytes.getSize() + 1);

    if (image == nullptr)
        return;

    if (bytes.getSize() > 0)
        std::memcpy (image.get(), bytes.getData(), bytes.getSize());

    size = bytes.getSize();
}

//==============================================================================
void FirmwareUpgradeComponent::MidiInputHandler::handleIncomingMidiMessage (juce::MidiInput*,
                                                                            const juce::MidiMessage& message)
{
    if (message.getRawDataSize() != 3)
        return;

    auto* raw = message.getRawData();

    if (raw[0] != ackStatus)
        return;

    if (raw[2] == velocity7F)
    {
        seen7F = true;
        return;
    }

    switch (raw[1])
    {
        case eraseNote:     eraseAcknowledged = true; break;
        case frameNote:     frameAcknowledged = true; break;
        case resetNote:     resetAcknowledged = true; break;
        case connectNote:   connectAcknowledged = true; break;
        default:            break;
    }
}

//==============================================================================
void FirmwareUpgradeComponent::MidiInputHandler::clearFlags()
{
    resetAcknowledged = false;
    frameAcknowledged = false;
    eraseAcknowledged = false;
    connectAcknowledged = false;
    seen7F = false;
}

void FirmwareUpgradeComponent::MidiInputHandler::setProgress (size_t done)
{
    // Whole frames are counted, so a short last frame would take the share
    // past 1, where the progress bar stops showing a percentage.
    if (owner != nullptr)
        owner->progress = juce::jmin (1.0, 0.8 + 0.2 * (double) done / (double) (size + 3));
}

void FirmwareUpgradeComponent::MidiInputHandler::setPhaseText (const juce::String& text)
{
    if (owner != nullptr)
        owner->progressLabel.setText (text, juce::dontSendNotification);
}

void FirmwareUpgradeComponent::MidiInputHandler::paced()
{
    // The unit's MIDI receiver keeps up only when the stream pauses briefly
    // after every second message.
    if (++messagesSent % 2 == 0)
        pacingPause();
}

void FirmwareUpgradeComponent::MidiInputHandler::wait()
{
    pump (waits.sliceMs);
}

void FirmwareUpgradeComponent::MidiInputHandler::flush()
{
    pump (0);
}

bool FirmwareUpgradeComponent::MidiInputHandler::waitForFlag (const std::atomic<bool>& flag, int slices)
{
    for (int i = 0; i < slices; ++i)
    {
        if (flag)
            return true;

        wait();
    }

    return flag;
}

//==============================================================================
juce::Result FirmwareUpgradeComponent::MidiInputHandler::sendProgram()
{
    if (input == nullptr)
        return juce::Result::fail (noInputText);

    if (output == nullptr)
        return juce::Result::fail (noOutputText);

    if (! FirmwareImage::hasUploadableSize (size))
    {
        clearFlags();
        return juce::Result::fail (badImageText);
    }

    clearFlags();
    messagesSent = 0;
    setProgress (0);
    setPhaseText ("Connecting...");

    sendControlFrame (*output, midiJoin, [this] { paced(); });

    if (! waitForFlag (connectAcknowledged, waits.connectSlices))
    {
        clearFlags();
        return juce::Result::fail (noConnectText);
    }

    flush();
    setProgress (1);
    setPhaseText ("Erasing...");

    setEraseArgument (pid);
    sendControlFrame (*output, midiErase, [this] { paced(); });

    // Some units erase without saying so; the write goes ahead regardless.
    if (! waitForFlag (eraseAcknowledged, waits.eraseSlices))
        clearFlags();

    flush();
    setProgress (2);
    setPhaseText ("Installing...");

    if (! sendDataFrames())
    {
        clearFlags();
        return juce::Result::fail (frameFailedText);
    }

    auto result = resetUnit();
    clearFlags();

    if (result.wasOk())
        flush();

    return result;
}

bool FirmwareUpgradeComponent::MidiInputHandler::sendDataFrames()
{
    DataFrame frame;
    juce::MidiBuffer buffer;
    juce::uint8 counter = 0;

    for (size_t offset = 0; offset < size; offset += dataBytesPerFrame)
    {
        buildDataFrame (frame, counter++, image.get(), size, offset);

        // Data frames go without a marker, each nibble note on its own.
        for (size_t i = 0; i < dataFrameSize; ++i)
        {
            // Cleared just before the last byte: an answer to this frame can
            // only come after it, and one that comes during the pause that
            // follows the byte must not be wiped out.
            if (i == dataFrameSize - 1)
                frameAcknowledged = false;

            buffer.addEvent (Messages::nibbleNote (frame[i]), 0);
            output->sendBlockOfMessagesNow (buffer);
            buffer.clear();
            paced();
        }

        if (! waitForFrameAcknowledgement())
            return false;

        setProgress (offset + dataBytesPerFrame);
    }

    return true;
}

bool FirmwareUpgradeComponent::MidiInputHandler::waitForFrameAcknowledgement()
{
    // The flag is tested after every slice, the last one included: an answer
    // that arrives within the wait counts.
    for (int i = 0; i < waits.frameSlices; ++i)
    {
        wait();

        if (frameAcknowledged)
            return true;
    }

    return false;
}

juce::Result FirmwareUpgradeComponent::MidiInputHandler::resetUnit()
{
    flush();
    setPhaseText ("Resetting...");

    resetAcknowledged = false;
    sendControlFrame (*output, midiReset, [this] { paced(); });

    for (int i = 0; i < waits.resetSlices; ++i)
    {
        if (resetAcknowledged)
            break;

        wait();

        if (seen7F)
            break;
    }

    // A unit that stays silent after the reset has usually just rebooted.
    if (resetAcknowledged || ! seen7F)
        return juce::Result::ok();

    return juce::Result::fail (powerCycleText);
}
}
