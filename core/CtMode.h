#pragma once

#include <juce_core/juce_core.h>

// A control mode: 0 "mackie", 1 "logic", 2 "pro-tools", 3 "usrdef-mcp",
// 4 "usrdef-hui". Modes 2 and 4 speak HUI, the others Mackie Control.
class CtMode
{
public:
    enum : int { mackie, logic, proTools, usrdefMcp, usrdefHui };

    CtMode (int modeValue = 0) noexcept : type (modeValue) {}

    // The slug is trimmed and then compared case-sensitively; anything
    // unknown, the empty text included, reads as "mackie".
    CtMode (const juce::String& slug);

    operator int() const noexcept { return type; }
    int getValue() const noexcept { return type; }

    static CtMode fromInt (int modeValue) noexcept { return CtMode (modeValue); }

    // The modes that speak HUI ("pro-tools", "usrdef-hui"); all others speak
    // Mackie Control.
    static bool isHui (int modeValue) noexcept { return modeValue == proTools || modeValue == usrdefHui; }

    static juce::String slugForType (int modeValue);
    static juce::String nameForType (int modeValue);

private:
    int type;
};
