#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <optional>
#include <vector>

// The product-mode half of an emulated Trevan: reads what arrives on the
// unit's port as a real unit must, a mapping transfer (frame marker, start
// frame, 588 nibble notes making 98 six-byte rows, frame marker, end marker)
// or an upgrade-mode request (frame marker, then the 9- or 8-byte SysEx).
// Everything that does not fit is written to the violation list it was given.
// Not thread-safe: its owner serialises the calls.
class EmulatedTransferDecoder
{
public:
    static constexpr int numRows = 98;
    static constexpr int rowSize = 6;
    static constexpr int numNotes = numRows * rowSize;

    using Row = std::array<juce::uint8, rowSize>;

    struct StartFrame
    {
        int productId = 0;
        int huiFlag = 0;
        int modeCode = 0;
    };

    enum class Kind
    {
        frameMarker,
        startFrame,
        nibbleNote,
        endMarker,
        other
    };

    struct Message
    {
        juce::MidiMessage message;
        double timeMs = 0;      // arrival, juce::Time::getMillisecondCounterHiRes()
        Kind kind = Kind::other;
        int index = 0;          // place in the transfer; the opening frame marker is 0
        int noteIndex = -1;     // place among the transfer's nibble notes, -1 for other messages
    };

    struct Transfer
    {
        StartFrame start;
        std::vector<Row> rows;          // complete rows only, row 1 first
        std::vector<Message> messages;  // from the opening frame marker on
        int numNotes = 0;
        bool complete = false;          // its end marker arrived

        std::vector<double> arrivalTimes() const;
    };

    struct UpgradeRequest
    {
        int family = 0;
        int length = 0;     // 9 or 8
    };

    explicit EmulatedTransferDecoder (juce::StringArray& violations);

    // Returns the request when this message was an upgrade-mode request that
    // followed a frame marker.
    std::optional<UpgradeRequest> feed (const juce::MidiMessage& message, double timeMs);

    // The transfer begun last, complete or not (empty before the first one).
    const Transfer& currentTransfer() const     { return current; }

    // The last transfer whose end marker arrived (empty before the first one).
    const Transfer& lastCompleteTransfer() const { return lastComplete; }
    int getNumCompleteTransfers() const          { return numComplete; }

    // Forgets a transfer in progress, as a unit does when it reboots.
    void resync();

    // Forgets everything.
    void reset();

private:
    enum class State
    {
        idle,
        afterMarker,
        rows,
        afterClosingMarker
    };

    enum class Shape
    {
        startFrame,
        request,
        wrong
    };

    std::optional<UpgradeRequest> feedIdle (const juce::MidiMessage&, double timeMs);
    std::optional<UpgradeRequest> feedAfterMarker (const juce::MidiMessage&, double timeMs);
    void feedRows (const juce::MidiMessage&, double timeMs);
    std::optional<UpgradeRequest> feedClosing (const juce::MidiMessage&, double timeMs);

    static Shape shapeOf (const juce::MidiMessage&);
    void begin (const juce::MidiMessage* marker, double markerTime, const juce::MidiMessage& start, double timeMs);
    void addNote (const juce::MidiMessage&, double timeMs);
    void checkRowCount();
    void finish();
    void append (const juce::MidiMessage&, double timeMs, Kind kind);
    void report (const juce::String& text);
    juce::String where() const;

    juce::StringArray& violations;
    State state = State::idle;
    bool ended = false;
    bool tooMany = false;
    juce::MidiMessage pendingMarker;
    double pendingMarkerTime = 0;
    Row partial {};
    int partialSize = 0;
    Transfer current, lastComplete;
    int numComplete = 0;
};
