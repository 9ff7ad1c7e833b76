#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

namespace zorv
{
    // Whether `size` bytes from a server begin with `opening`, ignoring the
    // case of ASCII letters. The bytes are raw, not text to trust: they are
    // only ever compared one by one, and never read past `size`.
    inline bool startsWithIgnoringCase (const char* bytes, size_t size, const char* opening)
    {
        for (size_t i = 0; opening[i] != 0; ++i)
            if (i >= size || juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) (juce::uint8) bytes[i])
                                 != juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) (juce::uint8) opening[i]))
                return false;

        return true;
    }
}
