#include "platform/QuitSignals.h"

#include <juce_events/juce_events.h>

#if ! JUCE_WINDOWS

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#if ! (JUCE_LINUX || JUCE_BSD)
 #include <thread>
#endif

namespace
{
    constexpr int handledSignals[] = { SIGINT, SIGTERM, SIGHUP };
    constexpr size_t numHandledSignals = std::size (handledSignals);

    // The handler's only way to the rest of the program: -1 while no
    // QuitSignals is installed.
    std::atomic<int> signalPipe { -1 };
    static_assert (std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

    // Only async-signal-safe calls here. The pipe never blocks the writer: when
    // it is full, plenty of requests are already waiting to be read.
    void onSignal (int)
    {
        const auto savedErrno = errno;
        const char byte = 0;

        if (const int fd = signalPipe.load(); fd >= 0)
        {
            [[maybe_unused]] const auto written = ::write (fd, &byte, 1);
        }

        errno = savedErrno;
    }

    bool isIgnored (const struct sigaction& disposition)
    {
        return (disposition.sa_flags & SA_SIGINFO) == 0 && disposition.sa_handler == SIG_IGN;
    }

    bool isOurs (int signal)
    {
        struct sigaction current {};
        return ::sigaction (signal, nullptr, &current) == 0
            && (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == onSignal;
    }

    void ignore (int signal)
    {
        struct sigaction ignored {};
        ignored.sa_handler = SIG_IGN;
        sigemptyset (&ignored.sa_mask);
        ::sigaction (signal, &ignored, nullptr);
    }

    // A JUCE application puts its SIGINT handler in as it creates the message
    // loop, before any QuitSignals can look at what the shell left: that is
    // noted here, as the program is loaded.
    struct IgnoredAtStart
    {
        IgnoredAtStart()
        {
            for (size_t i = 0; i < numHandledSignals; ++i)
            {
                struct sigaction found {};
                ignored[i] = ::sigaction (handledSignals[i], nullptr, &found) == 0 && isIgnored (found);
            }
        }

        bool ignored[numHandledSignals] {};
    };

    const IgnoredAtStart ignoredAtStart;

    void addFlags (int fd, int descriptorFlags, int statusFlags)
    {
        ::fcntl (fd, F_SETFD, ::fcntl (fd, F_GETFD) | descriptorFlags);
        ::fcntl (fd, F_SETFL, ::fcntl (fd, F_GETFL) | statusFlags);
    }
}

struct QuitSignals::Installed
{
    int readEnd = -1;
    int writeEnd = -1;
    // Only the signals given onSignal have a disposition to put back.
    bool handled[numHandledSignals] {};
    struct sigaction previous[numHandledSignals] {};

   #if ! (JUCE_LINUX || JUCE_BSD)
    std::thread reader;
   #endif
};

QuitSignals::QuitSignals (std::function<void()> onQuitSignal)
{
    jassert (signalPipe.load() < 0);

    int ends[2];

    // Without a pipe the signals keep the handlers they have.
    if (::pipe (ends) != 0)
        return;

    installed = std::make_unique<Installed>();
    installed->readEnd = ends[0];
    installed->writeEnd = ends[1];
    addFlags (installed->writeEnd, FD_CLOEXEC, O_NONBLOCK);

   #if JUCE_LINUX || JUCE_BSD
    // JUCE's loop polls the read end along with its own descriptors, in every
    // loop it runs, modal ones included.
    addFlags (installed->readEnd, FD_CLOEXEC, O_NONBLOCK);

    juce::LinuxEventLoop::registerFdCallback (installed->readEnd, [onQuitSignal] (int fd)
    {
        char bytes[16];

        for (auto n = ::read (fd, bytes, sizeof (bytes)); n > 0; n = ::read (fd, bytes, sizeof (bytes)))
            for (decltype (n) i = 0; i < n; ++i)
                onQuitSignal();
    });
   #else
    // Elsewhere a thread waits on the pipe and passes each signal on; it ends
    // when the write end is closed.
    addFlags (installed->readEnd, FD_CLOEXEC, 0);

    installed->reader = std::thread ([fd = installed->readEnd, onQuitSignal]
    {
        for (;;)
        {
            char byte;
            const auto n = ::read (fd, &byte, 1);

            if (n > 0)
                juce::MessageManager::callAsync (onQuitSignal);
            else if (n == 0 || errno != EINTR)
                return;
        }
    });
   #endif

    signalPipe = installed->writeEnd;

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset (&action.sa_mask);
    // A signal must not make the program's own reads and writes fail.
    action.sa_flags = SA_RESTART;

    for (size_t i = 0; i < numHandledSignals; ++i)
    {
        struct sigaction found {};
        ::sigaction (handledSignals[i], nullptr, &found);

        // Left ignored for good, put back to ignored where JUCE replaced it.
        if (ignoredAtStart.ignored[i] || isIgnored (found))
        {
            ignore (handledSignals[i]);
            continue;
        }

        installed->handled[i] = ::sigaction (handledSignals[i], &action, &installed->previous[i]) == 0;
    }
}

QuitSignals::~QuitSignals()
{
    if (installed == nullptr)
        return;

    // A signal given another disposition since (ignoreFromNowOn) keeps it:
    // putting back a default that ends the process would undo that.
    for (size_t i = 0; i < numHandledSignals; ++i)
        if (installed->handled[i] && isOurs (handledSignals[i]))
            ::sigaction (handledSignals[i], &installed->previous[i], nullptr);

    signalPipe = -1;

    // A handler still running on another thread may have read the write end
    // just before: it must not find that number given to another file. Put
    // over by /dev/null, the pipe's write end closes all the same, and the
    // number stays taken, harmlessly, for the little left of the program.
    const auto closeWriteEnd = [this]
    {
        const int null = ::open ("/dev/null", O_WRONLY | O_CLOEXEC);

        if (null < 0 || ::dup2 (null, installed->writeEnd) < 0)
            ::close (installed->writeEnd);

        if (null >= 0)
            ::close (null);
    };

   #if JUCE_LINUX || JUCE_BSD
    juce::LinuxEventLoop::unregisterFdCallback (installed->readEnd);
    closeWriteEnd();
   #else
    closeWriteEnd();
    installed->reader.join();
   #endif

    ::close (installed->readEnd);
}

void QuitSignals::ignoreFromNowOn()
{
    for (auto signal : handledSignals)
        ignore (signal);
}

#else

// Windows sends a program no such signals: it asks its windows to close.
struct QuitSignals::Installed {};
QuitSignals::QuitSignals (std::function<void()>) {}
QuitSignals::~QuitSignals() = default;
void QuitSignals::ignoreFromNowOn() {}

#endif
