#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>

class MidiOutputPort;

// The frames in which the firmware upload talks to a device in upgrade mode:
// 17-byte control frames (connect, erase, reset) and 530-byte data frames
// carrying 512 image bytes each. Every byte travels as one nibble note.
namespace zorv
{
    constexpr size_t controlFrameSize = 17;
    constexpr size_t dataFrameHeaderSize = 17;
    constexpr size_t dataBytesPerFrame = 512;
    constexpr size_t dataFrameSize = dataFrameHeaderSize + dataBytesPerFrame + 1;
    constexpr size_t eraseTableSize = 200;

    using ControlFrame = juce::uint8[controlFrameSize];
    using DataFrame = juce::uint8[dataFrameSize];

    // The control frames and the data-frame header, patched in place before
    // each send (argument or counter in byte 15, checksum in byte 16); they
    // keep the last values written.
    extern ControlFrame midiJoin;
    extern ControlFrame midiErase;
    extern ControlFrame midiReset;
    extern juce::uint8 midiWrite[dataFrameHeaderSize];

    // Scratch nibble note 9F, high nibble, low nibble for control-frame bytes.
    extern juce::uint8 midiTemp[3];

    // Erase argument by product id.
    extern const juce::uint8 erase15[eraseTableSize];

    // The erase argument of a product; ids outside the table erase with 70.
    juce::uint8 eraseArgumentFor (int pid);

    // Sum of the bytes modulo 256.
    juce::uint8 frameChecksum (const juce::uint8* bytes, size_t count);

    // Puts the product's erase argument into the erase frame.
    void setEraseArgument (int pid);

    // Stores the checksum of bytes 0 to 15 in byte 16.
    void sealControlFrame (ControlFrame& frame);

    // Header with `counter`, the 512 image bytes from `offset` (00 past the
    // image's end), then the checksum of all 529 bytes before it.
    void buildDataFrame (DataFrame& frame, juce::uint8 counter,
                         const juce::uint8* image, size_t imageSize, size_t offset);

    // Seals the frame, then sends the frame marker and the 17 bytes as nibble
    // notes, each on its own. `afterEachMessage` runs after each of the 18
    // messages, so the caller can pace the stream.
    void sendControlFrame (MidiOutputPort& out, ControlFrame& frame,
                           const std::function<void()>& afterEachMessage = {});
}
