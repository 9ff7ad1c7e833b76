#include "upgrader/SleepMs.h"

#include "platform/PrecisePause.h"

#include <juce_events/juce_events.h>

namespace zorv
{
namespace
{
    constexpr int maxSliceMs = 100;

    // Message thread only, as the pumps it sees.
    std::function<void (int)> pumpWatcher;

    juce::MessageManager* messageManagerOnThisThread()
    {
        auto* mm = juce::MessageManager::getInstanceWithoutCreating();
        return mm != nullptr && mm->isThisTheMessageThread() ? mm : nullptr;
    }
}

void pump (int ms)
{
    auto* mm = messageManagerOnThisThread();

    if (mm != nullptr && pumpWatcher != nullptr)
        pumpWatcher (ms);

    // A flush: what is pending, without the millisecond a pause lasts at least
    // (JUCE's Apple loop runs nothing at all when given no time).
    if (ms == 0 && mm != nullptr)
    {
       #if JUCE_MAC || JUCE_IOS
        mm->runDispatchLoopUntil (1);
       #else
        mm->runDispatchLoopUntil (0);
       #endif
    }
    else
        precisePause (juce::jmax (1, ms), WhilePausing::runMessageLoop);
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

void watchPumps (std::function<void (int)> watcher)
{
    pumpWatcher = std::move (watcher);
}

void sleep_ms (int ms)
{
    // Off the message thread there is no loop to keep alive.
    if (messageManagerOnThisThread() == nullptr)
    {
        precisePause (ms, WhilePausing::sleep);
        return;
    }

    for (auto slice : sleepSlices (ms))
        pump (slice);
}
}
