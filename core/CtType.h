#pragma once

#include <juce_core/juce_core.h>

// The message type of a control: 0 "note", 1 "cc", 2 "pitch", 3 "null".
class CtType
{
public:
    enum : int { note, cc, pitch, null };

    CtType (int typeValue = 0) noexcept : type (typeValue) {}

    // Exact, case-sensitive and untrimmed: anything else is a note.
    CtType (const juce::String& slug);

    operator int() const noexcept { return type; }
    int getValue() const noexcept { return type; }

    static CtType fromInt (int typeValue) noexcept { return CtType (typeValue); }

    static juce::String slugForType (int typeValue);

private:
    int type;
};
