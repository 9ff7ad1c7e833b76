#include "core/CtType.h"

namespace
{
    const juce::String* typeSlugs (int& count)
    {
        static const juce::String slugs[] { "note", "cc", "pitch", "null" };
        count = (int) juce::numElementsInArray (slugs);
        return slugs;
    }
}

CtType::CtType (const juce::String& slug)
    : type (0)
{
    int count = 0;
    auto* slugs = typeSlugs (count);

    for (int i = 0; i < count; ++i)
    {
        if (slug == slugs[i])
        {
            type = i;
            break;
        }
    }
}

juce::String CtType::slugForType (int typeValue)
{
    int count = 0;
    auto* slugs = typeSlugs (count);
    return juce::isPositiveAndBelow (typeValue, count) ? slugs[typeValue] : juce::String();
}
