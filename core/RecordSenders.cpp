#include "core/RecordSenders.h"

#include "core/ControlIds.h"
#include "core/CtKind.h"
#include "core/CtMode.h"
#include "core/Defa.h"
#include "core/HuiTables.h"
#include "core/Messages.h"
#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "core/Tags.h"
#include "platform/PrecisePause.h"

namespace
{

    int intOf (const juce::ValueTree& control, const juce::Identifier& property)
    {
        return (int) control.getProperty (property) & 0xFF;
    }

    const unsigned char* recordOf (int mode, int row)
    {
        return arrForMoid[juce::jlimit (0, 4, mode)][juce::jlimit (0, 99, row)];
    }

    const unsigned char* recordOfControl (const juce::ValueTree& control, int mode)
    {
        return recordOf (mode, rowForCid ((int) control.getProperty (Tags::cid)));
    }

    // The pro-tools entries whose HUI keys the cursor rows carry, rows 67..70
    // (the cursor targets up, down, left, right).
    constexpr int proToolsCursorKeys[4] = { 90, 86, 87, 89 };

    // The button controls that own rows 67..70.
    constexpr int cursorControls[4] = { ControlIds::cursorUp, ControlIds::cursorDown,
                                        ControlIds::cursorLeft, ControlIds::cursorRight };
}

RecordSenders::RecordSenders (MidiOutputPort& port)
    : out (port)
{
}

void RecordSenders::stepPacing()
{
    if (++pacing == 2)
    {
        precisePause (1, WhilePausing::sleep);
        pacing = 0;
    }
}

void RecordSenders::sendSingly (int byte)
{
    buffer.addEvent (Messages::nibbleNote ((juce::uint8) byte), 0);
    sendMidiBuffer (out, buffer);
    buffer.clear();
    stepPacing();
}

void RecordSenders::sendPair (int first, int second)
{
    buffer.addEvent (Messages::nibbleNote ((juce::uint8) first), 0);
    buffer.addEvent (Messages::nibbleNote ((juce::uint8) second), 1);
    sendMidiBuffer (out, buffer);
    buffer.clear();
    precisePause (1, WhilePausing::sleep);
}

void RecordSenders::sendMessageSingly (const juce::MidiMessage& message)
{
    out.sendMessageNow (message);
    stepPacing();
}

void RecordSenders::sendButtonRecord (const juce::ValueTree& control, int mode)
{
    if (CtMode::isHui (mode))
    {
        sendPair (0x0B, 0xB0);
        sendPair (0x0F, intOf (control, Tags::v1));
        sendPair (0x2F, intOf (control, Tags::v2));
        return;
    }

    if ((int) control.getProperty (Tags::value) == 0)
    {
        sendPair (0x09, 0x90);
        sendPair (0x00, 0x7F);
        sendPair (0x00, 0x00);
        return;
    }

    auto* r = recordOfControl (control, mode);
    sendSingly (r[0]);
    sendSingly (r[1]);
    sendSingly (r[2]);
    sendSingly (0x7F);
    sendPair (0x00, 0x00);
}

void RecordSenders::sendFixedButtonRecord (int row, int mode)
{
    if (CtMode::isHui (mode))
    {
        sendPair (0x0B, 0xB0);
        sendPair (0x0F, pt[88][1]);
        sendPair (0x2F, pt[88][2]);
        return;
    }

    sendPair (0x09, 0x90);
    sendPair (recordOf (mode, row)[2], 0x7F);
    sendPair (0x00, 0x00);
}

void RecordSenders::sendTableRowRecord (int row, int mode)
{
    if (! CtMode::isHui (mode))
    {
        auto* r = recordOf (mode, row);

        for (int b : { (int) r[0], (int) r[1], (int) r[2], 0x7F, 0x00, 0x00 })
            sendSingly (b);

        return;
    }

    // The HUI key of a cursor row: in "usrdef-hui" the pair the user gave the
    // cursor target's button slot, in "pro-tools" the table's cursor key.
    const int i = juce::jlimit (0, 3, row - 67);
    int zone, port;

    if (mode == 4)
    {
        auto* pair = HuiBnPairs[juce::jlimit (0, 69, cid2BnAidHui[cursorControls[i]])];
        zone = pair[0];
        port = pair[1];
    }
    else
    {
        zone = pt[proToolsCursorKeys[i]][1];
        port = pt[proToolsCursorKeys[i]][2];
    }

    for (int b : { 0x0B, 0xB0, 0x0F, zone, 0x2F, port })
        sendSingly (b);
}

void RecordSenders::sendKnobRecord (const juce::ValueTree& control, int mode)
{
    if (CtMode::isHui (mode))
    {
        for (int b : { 0x0B, 0xB0, 0x40 | (intOf (control, Tags::v2) & 0x0F), 0x40, 0x00, 0x00 })
            sendSingly (b);

        return;
    }

    auto* r = recordOfControl (control, mode);

    for (int b : { (int) r[0], (int) r[1], (int) r[2], (int) r[3], 0x00, 0x00 })
        sendSingly (b);
}

void RecordSenders::sendJogRecord (int row, int mode)
{
    if (CtMode::isHui (mode))
    {
        const int j = HuiJogPairs[row == 79 ? 1 : 0][1];

        for (int b : { 0x0B, 0xB0, 0x0F, 0x0D, 0x2F, j })
            sendSingly (b);

        return;
    }

    auto* r = recordOf (mode, row);

    for (int b : { (int) r[0], (int) r[1], (int) r[2], (int) r[3], 0x00, 0x00 })
        sendSingly (b);
}

void RecordSenders::sendFaderRecord (const juce::ValueTree& control, int mode)
{
    if (CtMode::isHui (mode))
    {
        const int sel = Defa::indexForvalue (mode, CtKind::fader, (int) control.getProperty (Tags::value));
        const int n = intOf (control, Tags::v2) & 0x0F;

        if (sel <= 8)
            for (int b : { 0x0B, 0xB0, n, 0x00, 0x20 | n, 0x00 })
                sendSingly (b);
        else
            for (int b : { 0x0B, 0xB0, 0x40 | n, 0x40, 0x00, 0x00 })
                sendSingly (b);

        return;
    }

    auto* r = recordOfControl (control, mode);

    for (int b : { (int) r[0], (int) r[1], (int) r[2], 0x00, 0x00, 0x00 })
        sendSingly (b);
}
