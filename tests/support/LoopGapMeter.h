#pragma once

#include <juce_events/juce_events.h>

#include <chrono>

// The longest the message loop went without a turn while it was watched: a
// timer of `intervalMs` notes the time between its calls.
class LoopGapMeter : private juce::Timer
{
public:
    explicit LoopGapMeter (int intervalMs)  { startTimer (intervalMs); }
    ~LoopGapMeter() override                { stopTimer(); }

    // Up to now; the meter stops.
    double longestSeconds()                 { timerCallback(); stopTimer(); return longest; }

private:
    using Clock = std::chrono::steady_clock;

    void timerCallback() override
    {
        const auto now = Clock::now();
        longest = juce::jmax (longest, std::chrono::duration<double> (now - last).count());
        last = now;
    }

    Clock::time_point last = Clock::now();
    double longest = 0.0;
};
