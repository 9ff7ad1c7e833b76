#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The SysEx request that asks one of the maker's devices to enter firmware-
// upgrade mode. Bytes 3 and 4 of the templates are placeholders for the
// request family of the product (two 7-bit bytes).
namespace zorv
{
    extern const juce::uint8 firmwareUpgradeRequest[9];
    extern const juce::uint8 firmwareUpgradeRequest8[8];

    // F0 1D 03, family >> 7, family & 7F, 00, 7F, 7F, F7.
    juce::MidiMessage makeFirmwareUpgradeRequest (int pid);

    // A request of `length` bytes: above 8 from the 9-byte template, else
    // from the 8-byte one (F0 1D 03, family >> 7, family & 7F, 55, 7F, F7).
    // Lengths are kept between 1 and 9.
    juce::MidiMessage makeFirmwareUpgradeRequestX (int pid, int length);
}
