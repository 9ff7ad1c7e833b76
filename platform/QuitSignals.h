#pragma once

#include <functional>
#include <memory>

// Turns the signals that ask a program to end, SIGINT (Ctrl-C in its
// terminal), SIGTERM (sent at logout) and SIGHUP (its terminal or session
// closes), into a call on the message thread, so that the application decides
// about them as about any other quit request. Left alone, SIGTERM and SIGHUP
// end the program at once and JUCE's own SIGINT handler quits without asking
// the application: either would cut short whatever is under way, wherever it is.
//
// A signal that the program was started with ignored stays ignored, as the
// shell that started it expects (`prog &` from a script ignores SIGINT, nohup
// SIGHUP), even where JUCE has put its SIGINT handler in since.
//
// A signal arrives on any thread at any moment, so its handler only writes a
// byte to a pipe; the message thread reads the pipe and calls `onQuitSignal`
// once for each signal. A signal that comes while an earlier one is still
// being decided about is one more request, nothing stronger.
//
// Create it on the message thread once the message loop exists (JUCE installs
// its SIGINT handler with the loop; this one replaces it) and destroy it there;
// the handlers it found are put back then, unless the signal has been given
// another disposition since (see ignoreFromNowOn). One at a time.
class QuitSignals
{
public:
    explicit QuitSignals (std::function<void()> onQuitSignal);
    ~QuitSignals();

    // Ignores these signals for the rest of the process, for a program on its
    // way out that must not be ended halfway by a second one. A QuitSignals in
    // place when this is called leaves them ignored when it goes.
    static void ignoreFromNowOn();

private:
    struct Installed;
    std::unique_ptr<Installed> installed;

    QuitSignals (const QuitSignals&) = delete;
    QuitSignals& operator= (const QuitSignals&) = delete;
};
