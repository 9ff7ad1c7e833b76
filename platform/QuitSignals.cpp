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
    constexpr int handledSignals[] = { SIGINT, SIGTERM };

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
    struct sigaction previous[std::size (handledSignals)] {};

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

    for (size_t i = 0; i < std::size (handledSignals); ++i)
        ::sigaction (handledSignals[i], &action, &installed->previous[i]);
}

QuitSignals::~QuitSignals()
{
    if (installed == nullptr)
        return;

    for (size_t i = 0; i < std::size (handledSignals); ++i)
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

#else

// Windows sends a program no such signals: it asks its windows to close.
struct QuitSignals::Installed {};
QuitSignals::QuitSignals (std::function<void()>) {}
QuitSignals::~QuitSignals() = default;

#endif
