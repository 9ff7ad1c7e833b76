#pragma once

// The ids of the surface's 89 controls. The controller's assignment table is
// laid out by these ranges, so every test of an id's range goes through the
// names here rather than through numbers spread over the sources.
namespace ControlIds
{
    constexpr int count = 89;                   // ids 1 to 89

    constexpr int firstButton = 1;              // strips, master strip and keys: 1-64
    constexpr int lastButton = 64;
    constexpr int firstFaderTouch = 41;         // touch sensors of the strips' faders
    constexpr int lastFaderTouch = 48;
    constexpr int masterFaderTouch = 53;        // touch sensor of the master fader

    constexpr int firstKnob = 65;               // knobs of strips 1 to 8
    constexpr int lastKnob = 72;

    constexpr int leftJogHalf = 73;             // the jog wheel turned left
    constexpr int rightJogHalf = 74;            // and right

    constexpr int zoomButton1 = 75;             // switches the wheel to cursor left/right
    constexpr int zoomButton2 = 76;             // and to cursor up/down

    constexpr int firstFader = 77;              // faders of strips 1 to 8
    constexpr int lastFader = 84;
    constexpr int masterFader = 85;

    // The cursor targets the jog halves stand for in the two cursor states.
    constexpr int cursorLeft = 86;
    constexpr int cursorRight = 87;
    constexpr int cursorUp = 88;
    constexpr int cursorDown = 89;

    constexpr bool isControl (int cid) noexcept       { return cid >= 1 && cid <= count; }
    constexpr bool isButton (int cid) noexcept        { return cid >= firstButton && cid <= lastButton; }
    constexpr bool isFaderTouch (int cid) noexcept    { return cid >= firstFaderTouch && cid <= lastFaderTouch; }
    constexpr bool isKnob (int cid) noexcept          { return cid >= firstKnob && cid <= lastKnob; }
    constexpr bool isJogHalf (int cid) noexcept       { return cid == leftJogHalf || cid == rightJogHalf; }
    constexpr bool isZoomButton (int cid) noexcept    { return cid == zoomButton1 || cid == zoomButton2; }
    constexpr bool isFader (int cid) noexcept         { return cid >= firstFader && cid <= lastFader; }
    constexpr bool isMasterFader (int cid) noexcept   { return cid == masterFader; }
    constexpr bool isCursorTarget (int cid) noexcept  { return cid >= cursorLeft && cid <= cursorDown; }
}
