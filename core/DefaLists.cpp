#include "core/Defa.h"

#include "core/FactoryTables.h"
#include "core/HuiTables.h"
#include "core/MidiNameTables.h"
#include "core/ProToolsTables.h"
#include "core/SharedFlags.h"
#include "core/StrCat.h"

#include <cstdlib>

namespace
{
    constexpr int button = 0, knob = 1, jogWheel = 2, fader = 3, masterFader = 4;

    // Positions outside a list read as 0 or the empty text: `sel` can come
    // from a mapping file, so it is never trusted as an index.
    template <typename T, size_t N>
    T entryOf (const T (&list)[N], int sel)
    {
        return juce::isPositiveAndBelow (sel, (int) N) ? list[sel] : T {};
    }

    template <typename Char, size_t N, size_t Width>
    const char* textOf (Char (&list)[N][Width], int sel)
    {
        return juce::isPositiveAndBelow (sel, (int) N) ? list[sel] : "";
    }

    // A mode's function names by note number; the empty text for a mode without them.
    const char* noteFunctionOf (const char (*list)[40], int sel)
    {
        return list != nullptr && juce::isPositiveAndBelow (sel, 128) ? list[sel] : "";
    }

    // The 128 function names of a Mackie Control mode's buttons, by note number.
    const char (*functionNamesOf (int mode))[40]
    {
        switch (mode)
        {
            case 0:   return nuendoNotes;
            case 1:   return logicNotes;
            case 3:   return cbFuncs;
            default:  return nullptr;
        }
    }

    bool inJogState() noexcept { return isZoomNorLR == 0; }
}

//==============================================================================
int Defa::nSelsInFunc (int mode, int kind)
{
    if (mode == 2)
    {
        switch (kind)
        {
            case button:       return 101;
            case knob:         return 8;
            case jogWheel:     return inJogState() ? 1 : 4;
            case fader:        return 16;
            case masterFader:  return 2;
            default:           return 0;
        }
    }

    if (mode == 4)
    {
        switch (kind)
        {
            case knob:         return 8;
            case jogWheel:     return 2;
            case fader:
            case masterFader:  return 18;
            default:           return 101;
        }
    }

    switch (kind)
    {
        case knob:         return 8;
        case jogWheel:     return inJogState() ? 1 : 128;
        case fader:        return 16;
        case masterFader:  return 2;
        default:           return 128;
    }
}

int Defa::nSelsInFunc2 (int mode, int kind)
{
    if (mode == 2)
        return nSelsInFunc (mode, kind);

    if (mode == 4)
    {
        switch (kind)
        {
            case button:       return 101;
            case knob:         return 8;
            case jogWheel:     return 2;
            case fader:
            case masterFader:  return 18;
            default:           return 0;
        }
    }

    return 128;
}

//==============================================================================
int Defa::getValueHUI (int, int kind, int sel)
{
    switch (kind)
    {
        case button:       return entryOf (protoolsButtonIndexes, sel);
        case knob:         return entryOf (protoolsKnobIndexes, sel);
        case jogWheel:     return inJogState() ? protoolsJogIndexesWhenZmN[0]
                                               : entryOf (protoolsJogIndexesWhenZmLR, sel);
        case fader:        return entryOf (protoolsFaderIndexes, sel);
        case masterFader:  return entryOf (protoolsMasterFaderIndexes, sel);
        default:           return 0;
    }
}

int Defa::getValue (int mode, int kind, int sel)
{
    if (mode == 2)
        return getValueHUI (mode, kind, sel);

    if (mode == 4)
        return sel;

    switch (kind)
    {
        case button:       return sel;
        case knob:         return entryOf (abletonLiveKnobValues, sel);
        case jogWheel:     return inJogState() ? entryOf (abletonLiveJogWheelValues, sel) : sel;
        case fader:        return entryOf (abletonLiveFaderValues, sel);
        case masterFader:  return entryOf (abletonLiveMasterFaderValues, sel);
        default:           return 0;
    }
}

int Defa::getValue2 (int mode, int kind, int sel)
{
    if (mode == 2)
        return getValueHUI (mode, kind, sel);

    if (mode == 4)
        return sel;

    return juce::isPositiveAndBelow (kind, 5) ? sel : 0;
}

int Defa::selForval (int mode, int kind, int value)
{
    const int size = nSelsInFunc (mode, kind);

    for (int sel = 0; sel < size; ++sel)
        if (getValue (mode, kind, sel) == value)
            return sel;

    return 0;
}

int Defa::indexForvalue (int mode, int kind, int value)
{
    return selForval (mode, kind, value);
}

int Defa::selForval2 (int mode, int kind, int value)
{
    const int size = nSelsInFunc2 (mode, kind);

    for (int sel = 0; sel < size; ++sel)
        if (getValue2 (mode, kind, sel) == value)
            return sel;

    return -1;
}

//==============================================================================
const char* Defa::getName (int mode, int kind, int sel)
{
    if (mode == 2)
    {
        // A position past a list has no function, so no name; the jog wheel in
        // its jog state stands for one function whatever the position.
        const bool anyPosition = ! juce::isPositiveAndBelow (kind, 5) || (kind == jogWheel && inJogState());

        if (! anyPosition && ! juce::isPositiveAndBelow (sel, nSelsInFunc (mode, kind)))
            return "";

        return textOf (protoolsControlNames, getValueHUI (mode, kind, sel));
    }

    if (mode == 4)
    {
        switch (kind)
        {
            case knob:         return textOf (HuiKnFuncs0, sel);
            case jogWheel:     return textOf (HuiJogFuncs0, sel);
            case fader:
            case masterFader:  return textOf (HuiFdknFuncs0, sel);
            default:           return textOf (HuiBtnFuncs0, sel);
        }
    }

    auto* functionNames = functionNamesOf (mode);

    switch (kind)
    {
        case button:       return noteFunctionOf (functionNames, sel);
        case knob:         return (mode == 0 || mode == 1) ? textOf (abletonLiveKnobs, sel) : "";
        case jogWheel:     return inJogState() ? "Tape Tspt" : noteFunctionOf (functionNames, sel);
        case fader:        return textOf (abletonLiveFader, sel);
        case masterFader:  return textOf (abletonLiveMasterFader, sel);
        default:           return "";
    }
}

juce::String Defa::getName3 (int mode, int kind, int sel, int msgType)
{
    if (CtMode::isHui (mode))
        return juce::String::fromUTF8 (getName (mode, kind, sel));

    if (! juce::isPositiveAndBelow (kind, 5))
        return "(err)";

    const int typeIndex = selForMsgType (msgType);

    if (typeIndex == 1)
        return juce::String::fromUTF8 (textOf (CC, sel));

    if (typeIndex == 2)
        return juce::String::fromUTF8 (textOf (PITCH, sel));

    if (! juce::isPositiveAndBelow (sel, 128))
        return {};

    const char* noteName = textOf (NOTE, sel);
    char* joined = strcat_0 (noteName, "  ", noteFunctionOf (functionNamesOf (mode), sel), nullptr);
    auto name = juce::String::fromUTF8 (joined);

    if (joined != noteName)
        std::free (joined);

    return name;
}
