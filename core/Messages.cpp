#include "core/Messages.h"

#include "platform/MidiOutputPort.h"

namespace zorv
{
    const juce::uint8 midiExtra[3] = { 0xEF, 0x7F, 0x7F };
}

namespace
{
    // Indexed by control mode: mackie, logic, pro-tools, usrdef-mcp, usrdef-hui.
    // Both user-defined modes share code 4; the HUI flag tells them apart.
    const juce::uint8 startModeCodes[] = { 0x01, 0x02, 0x03, 0x04, 0x04 };
    const juce::uint8 startHuiFlags[]  = { 0x00, 0x00, 0x01, 0x00, 0x01 };
}

juce::MidiMessage Messages::makeStart (int productId, int mode)
{
    if (! juce::isPositiveAndBelow (mode, (int) std::size (startModeCodes)))
        mode = 0;

    // Both id bytes are masked to seven bits so that no id, however large or
    // negative, can put a status byte into the middle of the SysEx.
    const juce::uint8 bytes[] = { 0xF0, 0x1D, 0x03,
                                  (juce::uint8) ((productId >> 7) & 0x7F),
                                  (juce::uint8) (productId & 0x7F),
                                  startHuiFlags[mode],
                                  startModeCodes[mode],
                                  0x7F, 0xF7 };

    return juce::MidiMessage (bytes, (int) sizeof (bytes));
}

juce::MidiMessage Messages::makeEnd()
{
    return juce::MidiMessage (0x9E, 0x7F, 0x7F);
}

juce::MidiMessage Messages::nibbleNote (juce::uint8 b)
{
    return juce::MidiMessage (0x9F, b >> 4, b & 0x0F);
}

juce::MidiMessage Messages::frameMarker()
{
    return juce::MidiMessage (zorv::midiExtra, (int) sizeof (zorv::midiExtra));
}

void sendMidiBuffer (MidiOutputPort& out, const juce::MidiBuffer& buffer)
{
    out.sendBlockOfMessagesNow (buffer);
}
