#include "core/CtMode.h"

namespace
{
    const juce::String* modeSlugs (int& count)
    {
        static const juce::String slugs[] { "mackie", "logic", "pro-tools", "usrdef-mcp", "usrdef-hui" };
        count = (int) juce::numElementsInArray (slugs);
        return slugs;
    }

    const juce::String* modeNames (int& count)
    {
        static const juce::String names[] { "Mackie", "Logic Pro", "Pro Tools", "User Define", "User Define" };
        count = (int) juce::numElementsInArray (names);
        return names;
    }
}

CtMode::CtMode (const juce::String& slug)
    : type (0)
{
    int count = 0;
    auto* slugs = modeSlugs (count);
    auto trimmed = slug.trim();

    for (int i = 0; i < count; ++i)
    {
        if (trimmed == slugs[i])
        {
            type = i;
            break;
        }
    }
}

juce::String CtMode::slugForType (int modeValue)
{
    int count = 0;
    auto* slugs = modeSlugs (count);
    return juce::isPositiveAndBelow (modeValue, count) ? slugs[modeValue] : juce::String();
}

juce::String CtMode::nameForType (int modeValue)
{
    int count = 0;
    auto* names = modeNames (count);
    return juce::isPositiveAndBelow (modeValue, count) ? names[modeValue] : juce::String();
}
