#pragma once

#include <csignal>

#include <signal.h>

// QuitSignals keeps a quit signal that the process was started with ignored
// ignored for good, as shells expect of a program started in the background,
// so a test that raises one has nothing to see then (ctest starts every test
// with the defaults). Noted as the test program is loaded, before JUCE puts
// its SIGINT handler in, as QuitSignals notes it.
inline const bool startedWithAQuitSignalIgnored = []
{
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        if (struct sigaction found {}; ::sigaction (signal, nullptr, &found) == 0 && found.sa_handler == SIG_IGN)
            return true;

    return false;
}();
