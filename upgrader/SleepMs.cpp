#include "upgrader/SleepMs.h"

#include "platform/PrecisePause.h"

#include <juce_events/juce_events.h>

namespace zorv
{
namespace
{
    constexpr int maxSliceMs = 100;
}

std::vector<int> sleepSlices (int ms)
{
    if (ms <= 0)
        return { 0 };

    std::vector<int> slices ((size_t) (ms / maxSliceMs), maxSliceMs);

    if (ms % maxSliceMs != 0)
        slices.push_back (ms % maxSliceMs);

    return slices;
}

void sleep_ms (int ms)
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();

    // Off the message thread there is no loop to keep alive.
    if (mm == nullptr || ! mm->isThisTheMessageThread())
    {
        precisePause (ms, WhilePausing::sleep);
        return;
    }

    for (auto slice : sleepSlices (ms))
    {
        if (slice > 0)
            precisePause (slice, WhilePausing::runMessageLoop);
        else
            mm->runDispatchLoopUntil (0);
    }
}
}
