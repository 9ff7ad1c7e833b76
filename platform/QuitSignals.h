#pragma once

#include <functional>
#include <memory>

// Turns the signals that ask a program to end, SIGINT (Ctrl-C in its
// terminal) and SIGTERM (sent at logout), into a call on the message thread,
// so that the application decides about them as about any other quit request.
// Left alone, SIGTERM ends the program at once and JUCE's own SIGINT handler
// quits without asking the application: either would cut short whatever is
// under way, wherever it is.
//
// A signal arrives on any thread at any moment, so its handler only writes a
// byte to a pipe; the message thread reads the pipe and calls `onQuitSignal`
// once for each signal. A signal that comes while an earlier one is still
// being decided about is one more request, nothing stronger.
//
// Create it on the message thread once the message loop exists (JUCE installs
// its SIGINT handler with the loop; this one replaces it) and destroy it there;
// the handlers it found are put back then. One at a time.
class QuitSignals
{
public:
    explicit QuitSignals (std::function<void()> onQuitSignal);
    ~QuitSignals();

private:
    struct Installed;
    std::unique_ptr<Installed> installed;

    QuitSignals (const QuitSignals&) = delete;
    QuitSignals& operator= (const QuitSignals&) = delete;
};
