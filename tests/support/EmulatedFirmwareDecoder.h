#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>
#include <vector>

// The upgrade-mode half of an emulated Trevan: gathers nibble notes into
// 17-byte control frames (each after a frame marker) and 530-byte data frames
// (without one), checks header, command, argument, counter and checksum, and
// reassembles the data frames of the current upload into the received image.
// Everything that does not fit is written to the violation list it was given.
// Not thread-safe: its owner serialises the calls.
class EmulatedFirmwareDecoder
{
public:
    static constexpr int controlFrameSize = 17;
    static constexpr int dataFrameSize = 530;
    static constexpr int payloadSize = 512;

    enum class Command
    {
        connect,
        erase,
        write,
        reset,
        unknown
    };

    struct Frame
    {
        Command command = Command::unknown;
        int commandByte = 0;    // byte 14
        int argument = 0;       // byte 15: the erase argument, or a data frame's counter
        int size = 0;           // 17 or 530
        int dataIndex = -1;     // data frames: place in the upload since its connect frame
        bool afterMarker = false;
        bool layoutOk = true;
        bool checksumOk = true;
        double timeMs = 0;      // arrival of its last byte

        bool isSound() const    { return layoutOk && checksumOk; }
    };

    EmulatedFirmwareDecoder (juce::StringArray& violations, int eraseArgument);

    // Returns the frame this message completed, if any.
    std::optional<Frame> feed (const juce::MidiMessage& message, double timeMs);

    const std::vector<Frame>& getFrames() const             { return frames; }

    // The payloads of the current upload's data frames in the order they came.
    const std::vector<juce::uint8>& getImage() const        { return image; }

    // Forgets a frame in progress, as a unit does when it enters upgrade mode.
    void resync();

    // Forgets everything.
    void reset();

private:
    Frame decode (double timeMs);
    void checkHeader (Frame&);
    void checkControlFrame (Frame&);
    void checkDataFrame (Frame&);
    int sumOfBytes (int count) const;
    void report (const juce::String& text);
    juce::String where() const;

    juce::StringArray& violations;
    const int eraseArgument;

    std::vector<juce::uint8> bytes;
    bool markerSeen = false;
    bool connected = false;
    int expectedCounter = 0;
    int dataFramesInUpload = 0;
    std::vector<Frame> frames;
    std::vector<juce::uint8> image;
};
