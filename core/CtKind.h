#pragma once

#include <juce_core/juce_core.h>

// The kind of a physical control: 0 "button", 1 "knob", 2 "jog-wheel",
// 3 "fader", 4 "master-fader".
class CtKind
{
public:
    enum : int { button, knob, jogWheel, fader, masterFader };

    CtKind (int kindValue = 0) noexcept : type (kindValue) {}

    // Exact, case-sensitive and untrimmed: anything else is a button.
    CtKind (const juce::String& slug);

    operator int() const noexcept { return type; }
    int getValue() const noexcept { return type; }

    static CtKind fromInt (int kindValue) noexcept { return CtKind (kindValue); }

    static juce::String slugForType (int kindValue);

private:
    int type;
};
