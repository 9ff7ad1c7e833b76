#include "core/CidSorter.h"

#include "core/Tags.h"

int CidSorter::compareElements (const juce::ValueTree& a, const juce::ValueTree& b)
{
    // The ids may come from a mapping file, so the difference is taken wide
    // and clamped: a plain int subtraction could overflow.
    const auto difference = (juce::int64) (int) a.getProperty (Tags::cid)
                          - (juce::int64) (int) b.getProperty (Tags::cid);

    return (int) juce::jlimit ((juce::int64) std::numeric_limits<int>::min(),
                               (juce::int64) std::numeric_limits<int>::max(),
                               difference);
}
