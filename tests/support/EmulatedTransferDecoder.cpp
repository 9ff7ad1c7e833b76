#include "tests/support/EmulatedTransferDecoder.h"

#include "tests/support/EmulatedWire.h"

std::vector<double> EmulatedTransferDecoder::Transfer::arrivalTimes() const
{
    std::vector<double> times;
    times.reserve (messages.size());

    for (auto& m : messages)
        times.push_back (m.timeMs);

    return times;
}

EmulatedTransferDecoder::EmulatedTransferDecoder (juce::StringArray& v)
    : violations (v)
{
}

void EmulatedTransferDecoder::resync()
{
    state = State::idle;
    ended = false;
}

void EmulatedTransferDecoder::reset()
{
    resync();
    current = {};
    lastComplete = {};
    numComplete = 0;
    partialSize = 0;
    tooMany = false;
}

std::optional<EmulatedTransferDecoder::UpgradeRequest> EmulatedTransferDecoder::feed (const juce::MidiMessage& m, double timeMs)
{
    switch (state)
    {
        case State::idle:               return feedIdle (m, timeMs);
        case State::afterMarker:        return feedAfterMarker (m, timeMs);
        case State::rows:               feedRows (m, timeMs); break;
        case State::afterClosingMarker: return feedClosing (m, timeMs);
    }

    return {};
}

std::optional<EmulatedTransferDecoder::UpgradeRequest> EmulatedTransferDecoder::feedIdle (const juce::MidiMessage& m, double timeMs)
{
    if (EmulatedWire::isFrameMarker (m))
    {
        pendingMarker = m;
        pendingMarkerTime = timeMs;
        state = State::afterMarker;
        return {};
    }

    auto shape = shapeOf (m);

    if (shape == Shape::startFrame)
    {
        // Decode on regardless, so that one missing marker does not hide
        // everything wrong after it.
        report ("start frame without a frame marker before it: " + EmulatedWire::describe (m));
        begin (nullptr, 0, m, timeMs);
        return {};
    }

    if (shape == Shape::request)
    {
        report ("upgrade-mode request without a frame marker before it (ignored): " + EmulatedWire::describe (m));
        return {};
    }

    report ((ended ? "message after the end marker: " : "stray message outside a transfer: ") + EmulatedWire::describe (m));
    return {};
}

std::optional<EmulatedTransferDecoder::UpgradeRequest> EmulatedTransferDecoder::feedAfterMarker (const juce::MidiMessage& m, double timeMs)
{
    if (EmulatedWire::isFrameMarker (m))
    {
        report ("frame marker followed by another frame marker");
        pendingMarker = m;
        pendingMarkerTime = timeMs;
        return {};
    }

    state = State::idle;
    ended = false;

    switch (shapeOf (m))
    {
        case Shape::startFrame:
            begin (&pendingMarker, pendingMarkerTime, m, timeMs);
            return {};

        case Shape::request:
        {
            auto* raw = m.getRawData();
            return UpgradeRequest { (raw[3] << 7) | raw[4], m.getRawDataSize() };
        }

        case Shape::wrong:
            break;
    }

    if (m.isSysEx())
        report ("SysEx of the wrong shape after a frame marker: " + EmulatedWire::describe (m));
    else
        report ("frame marker not followed by a start frame: " + EmulatedWire::describe (m));

    return {};
}

EmulatedTransferDecoder::Shape EmulatedTransferDecoder::shapeOf (const juce::MidiMessage& m)
{
    auto size = m.getRawDataSize();
    auto* raw = m.getRawData();

    if ((size != 8 && size != 9) || raw[0] != 0xF0 || raw[1] != 0x1D || raw[2] != 0x03 || raw[size - 1] != 0xF7)
        return Shape::wrong;

    if (size == 8)
        return raw[5] == 0x55 && raw[6] == 0x7F ? Shape::request : Shape::wrong;

    if (raw[7] != 0x7F)
        return Shape::wrong;

    if (raw[5] == 0x00 && raw[6] == 0x7F)
        return Shape::request;

    if (raw[5] <= 1 && raw[6] >= 1 && raw[6] <= 4)
        return Shape::startFrame;

    return Shape::wrong;
}

void EmulatedTransferDecoder::begin (const juce::MidiMessage* marker, double markerTime, const juce::MidiMessage& start, double timeMs)
{
    current = {};
    partialSize = 0;
    tooMany = false;

    if (marker != nullptr)
        append (*marker, markerTime, Kind::frameMarker);

    auto* raw = start.getRawData();
    current.start = { (raw[3] << 7) | raw[4], raw[5], raw[6] };
    append (start, timeMs, Kind::startFrame);

    // Mode codes 1 and 2 speak Mackie Control, 3 speaks HUI; 4 is either.
    auto mode = current.start.modeCode, hui = current.start.huiFlag;

    if ((mode <= 2 && hui != 0) || (mode == 3 && hui != 1))
        report ("start frame HUI flag " + juce::String (hui) + " does not fit mode code " + juce::String (mode));

    state = State::rows;
}

void EmulatedTransferDecoder::feedRows (const juce::MidiMessage& m, double timeMs)
{
    if (EmulatedWire::isChannel16NoteOn (m))
    {
        addNote (m, timeMs);
        return;
    }

    if (EmulatedWire::isFrameMarker (m))
    {
        append (m, timeMs, Kind::frameMarker);
        checkRowCount();
        state = State::afterClosingMarker;
        return;
    }

    if (EmulatedWire::isEndMarker (m))
    {
        report ("end marker without a closing frame marker");
        append (m, timeMs, Kind::endMarker);
        checkRowCount();
        finish();
        return;
    }

    report (where() + (m.isSysEx() ? "SysEx inside the row data: " : "not a Note On on channel 16: ")
            + EmulatedWire::describe (m));
    append (m, timeMs, Kind::other);
}

void EmulatedTransferDecoder::addNote (const juce::MidiMessage& m, double timeMs)
{
    if (! EmulatedWire::hasValidNibbles (m))
        report (where() + "nibble value above 15: " + EmulatedWire::describe (m));

    append (m, timeMs, Kind::nibbleNote);

    if (++current.numNotes == numNotes + 1 && ! tooMany)
    {
        tooMany = true;
        report ("more than " + juce::String (numNotes) + " nibble notes (more than " + juce::String (numRows) + " rows)");
    }

    partial[(size_t) partialSize++] = EmulatedWire::byteOf (m);

    if (partialSize == rowSize)
    {
        current.rows.push_back (partial);
        partialSize = 0;
    }
}

void EmulatedTransferDecoder::checkRowCount()
{
    if (partialSize != 0)
        report ("incomplete last row: " + juce::String (partialSize) + " of " + juce::String (rowSize) + " bytes ("
                + juce::String (current.numNotes) + " nibble notes)");

    if ((int) current.rows.size() < numRows)
        report ("too few rows: " + juce::String ((int) current.rows.size()) + " of " + juce::String (numRows));

    partialSize = 0;
}

std::optional<EmulatedTransferDecoder::UpgradeRequest> EmulatedTransferDecoder::feedClosing (const juce::MidiMessage& m, double timeMs)
{
    if (EmulatedWire::isEndMarker (m))
    {
        append (m, timeMs, Kind::endMarker);
        finish();
        return {};
    }

    report ("missing end marker after the closing frame marker (got " + EmulatedWire::describe (m) + ")");
    resync();

    // The marker taken for a closing one may as well have opened what follows.
    if (m.isSysEx())
    {
        auto& closing = current.messages.back();
        pendingMarker = closing.message;
        pendingMarkerTime = closing.timeMs;
        state = State::afterMarker;
        return feedAfterMarker (m, timeMs);
    }

    return feedIdle (m, timeMs);
}

void EmulatedTransferDecoder::finish()
{
    current.complete = true;
    lastComplete = current;
    ++numComplete;
    state = State::idle;
    ended = true;
}

void EmulatedTransferDecoder::append (const juce::MidiMessage& m, double timeMs, Kind kind)
{
    Message entry { m, timeMs, kind, (int) current.messages.size(), -1 };

    if (kind == Kind::nibbleNote)
        entry.noteIndex = current.numNotes;

    current.messages.push_back (std::move (entry));
}

juce::String EmulatedTransferDecoder::where() const
{
    return "transfer message " + juce::String ((int) current.messages.size()) + ": ";
}

void EmulatedTransferDecoder::report (const juce::String& text)
{
    violations.add (text);
}
