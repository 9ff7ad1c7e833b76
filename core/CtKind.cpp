#include "core/CtKind.h"

namespace
{
    const juce::String* kindSlugs (int& count)
    {
        static const juce::String slugs[] { "button", "knob", "jog-wheel", "fader", "master-fader" };
        count = (int) juce::numElementsInArray (slugs);
        return slugs;
    }
}

CtKind::CtKind (const juce::String& slug)
    : type (0)
{
    int count = 0;
    auto* slugs = kindSlugs (count);

    for (int i = 0; i < count; ++i)
    {
        if (slug == slugs[i])
        {
            type = i;
            break;
        }
    }
}

juce::String CtKind::slugForType (int kindValue)
{
    int count = 0;
    auto* slugs = kindSlugs (count);
    return juce::isPositiveAndBelow (kindValue, count) ? slugs[kindValue] : juce::String();
}
