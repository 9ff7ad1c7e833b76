#include "upgrader/UpgradeRequest.h"

#include "upgrader/Product.h"

#include <algorithm>

namespace zorv
{
const juce::uint8 firmwareUpgradeRequest[9]  = { 0xF0, 0x1D, 0x03, 0x00, 0x5E, 0x00, 0x7F, 0x7F, 0xF7 };
const juce::uint8 firmwareUpgradeRequest8[8] = { 0xF0, 0x1D, 0x03, 0x00, 0x5E, 0x55, 0x7F, 0xF7 };

juce::MidiMessage makeFirmwareUpgradeRequestX (int pid, int length)
{
    const bool longForm = length > 8;
    const int maxLength = longForm ? (int) sizeof (firmwareUpgradeRequest)
                                   : (int) sizeof (firmwareUpgradeRequest8);

    // The message never reads past its template, and JUCE needs at least one byte.
    length = juce::jlimit (1, maxLength, length);

    juce::uint8 bytes[sizeof (firmwareUpgradeRequest)] {};
    std::copy_n (longForm ? firmwareUpgradeRequest : firmwareUpgradeRequest8, maxLength, bytes);

    // Masked to seven bits each so that no id puts a status byte inside the SysEx.
    const auto family = Product::requestFamily (pid);
    bytes[3] = (juce::uint8) ((family >> 7) & 0x7F);
    bytes[4] = (juce::uint8) (family & 0x7F);

    return juce::MidiMessage (bytes, length, 0.0);
}

juce::MidiMessage makeFirmwareUpgradeRequest (int pid)
{
    return makeFirmwareUpgradeRequestX (pid, (int) sizeof (firmwareUpgradeRequest));
}
}
