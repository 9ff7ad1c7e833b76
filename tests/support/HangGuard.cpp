#include "tests/support/HangGuard.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

bool HangGuard::finishesWithin (int seconds, std::function<void()> work)
{
    struct State
    {
        std::mutex lock;
        std::condition_variable finished;
        bool done = false;
    };

    auto state = std::make_shared<State>();

    std::thread worker ([state, work = std::move (work)]
    {
        work();

        const std::lock_guard<std::mutex> guard (state->lock);
        state->done = true;
        state->finished.notify_all();
    });

    std::unique_lock<std::mutex> guard (state->lock);

    if (! state->finished.wait_for (guard, std::chrono::seconds (seconds), [&] { return state->done; }))
    {
        guard.unlock();
        worker.detach();
        return false;
    }

    guard.unlock();
    worker.join();
    return true;
}
