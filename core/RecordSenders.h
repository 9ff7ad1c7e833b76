#pragma once

#include "platform/MidiOutputPort.h"

#include <juce_data_structures/juce_data_structures.h>

// The row-record senders of one mapping transfer. They share the open port,
// one buffer and the pacing counter, which throttles the stream so that the
// controller's input keeps up: a pause after every pair of notes and after
// every second note sent singly.
//
// Where the bytes come from: Mackie Control records from the mode's mirror
// table (written through RecordBytes), HUI records from the control's tree
// ("value1", "value2"), except the zoom, cursor and jog rows, which read the
// "pro-tools" table and the "usrdef-hui" pair tables.
class RecordSenders
{
public:
    explicit RecordSenders (MidiOutputPort& port);

    void sendButtonRecord (const juce::ValueTree& control, int mode);
    void sendFixedButtonRecord (int row, int mode);
    void sendTableRowRecord (int row, int mode);
    void sendKnobRecord (const juce::ValueTree& control, int mode);
    void sendJogRecord (int row, int mode);
    void sendFaderRecord (const juce::ValueTree& control, int mode);

    // A message sent at once outside the records, counted like a single note.
    void sendMessageSingly (const juce::MidiMessage& message);

private:
    void sendSingly (int byte);
    void sendPair (int first, int second);
    void stepPacing();

    MidiOutputPort& out;
    juce::MidiBuffer buffer;
    int pacing = 0;
};
