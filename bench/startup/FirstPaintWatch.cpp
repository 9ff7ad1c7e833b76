// Starts a GUI program on the X display of $DISPLAY and watches it from the
// outside, as the X server sees it:
//
//   mapped  the program's first top-level window becomes viewable
//   paint   the program has first drawn its settled content into that window
//           at the given size
//   rss     the program's resident set 1 s after the window first held any
//           of the program's pixels
//
// Times are milliseconds from just before the program is started.
//
// What counts as the first paint: the X DAMAGE extension reports every
// drawing into the window, but also the server's own exposures when the
// window is mapped or resized (JUCE windows have no background, so those
// show black). At each report, with the window at the given size, the
// middle row of pixels is read back; a reading stands only when no later
// report was queued while it ran, so a frame is never credited to an earlier
// report. The first paint is the first report whose row already equals the
// row the window shows at the end, once the program has been left alone for
// a second: partial or provisional frames do not count.
//
// Run it on a bare server (Xvfb) with no other client: a window manager or a
// compositor would draw into the window too. The program is killed at the
// end; it gets no chance to write anything on the way out.
//
// usage: quelt_first_paint <width>x<height> <program> [arguments...]
// prints one line: mapped_ms paint_ms rss_kib
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
    using Clock = std::chrono::steady_clock;

    double msSince (Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    }

    // Damage objects on input-only windows, or on windows that are gone by
    // the time the request lands, fail harmlessly; so does a look into a
    // window that has just been destroyed.
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }

    long residentKiB (pid_t pid)
    {
        std::ifstream status ("/proc/" + std::to_string (pid) + "/status");

        for (std::string line; std::getline (status, line);)
            if (line.rfind ("VmRSS:", 0) == 0)
                return std::stol (line.substr (6));

        return -1;
    }

    bool waitForEvent (Display* display, int timeoutMs)
    {
        if (XPending (display) > 0)
            return true;

        pollfd fd { ConnectionNumber (display), POLLIN, 0 };
        return poll (&fd, 1, timeoutMs) > 0;
    }

    using Row = std::vector<unsigned long>;

    Row middleRow (Display* display, Window window, int width, int height)
    {
        Row pixels;

        if (XImage* row = XGetImage (display, window, 0, height / 2, (unsigned) width, 1, AllPlanes, ZPixmap))
        {
            for (int x = 0; x < width; ++x)
                pixels.push_back (XGetPixel (row, x, 0));

            XDestroyImage (row);
        }

        return pixels;
    }

    bool isBlack (const Row& row)
    {
        for (auto pixel : row)
            if (pixel != 0)
                return false;

        return true;
    }

    bool damageQueued (Display* display, int damageEventType)
    {
        XEvent event;

        if (! XCheckTypedEvent (display, damageEventType, &event))
            return false;

        XPutBackEvent (display, &event);
        return true;
    }
}

int main (int argc, char* argv[])
{
    int width = 0, height = 0;

    if (argc < 3 || std::sscanf (argv[1], "%dx%d", &width, &height) != 2)
    {
        std::fprintf (stderr, "usage: %s <width>x<height> <program> [arguments...]\n", argv[0]);
        return 2;
    }

    char** const program = argv + 2;
    Display* display = XOpenDisplay (nullptr);

    if (display == nullptr)
    {
        std::fprintf (stderr, "cannot open the X display\n");
        return 2;
    }

    int damageEvents = 0, damageErrors = 0;

    if (! XDamageQueryExtension (display, &damageEvents, &damageErrors))
    {
        std::fprintf (stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }

    const int damageNotify = damageEvents + XDamageNotify;
    XSetErrorHandler (ignoreXErrors);
    const Window root = DefaultRootWindow (display);
    XSelectInput (display, root, SubstructureNotifyMask);
    XSync (display, False);

    const auto start = Clock::now();
    const pid_t pid = fork();

    if (pid == 0)
    {
        close (ConnectionNumber (display));
        execvp (program[0], program);
        std::perror (program[0]);
        _exit (127);
    }

    std::set<Window> mapped;
    Window window = None;
    double mappedMs = -1, drawnMs = -1;
    std::vector<std::pair<double, Row>> readings;

    // Watching starts when a window is created, before it can be mapped, so
    // that no drawing can slip past; it goes on for a second after the
    // window first holds the program's pixels.
    while ((drawnMs < 0 && msSince (start) < 20000.0) || (drawnMs >= 0 && msSince (start) < drawnMs + 1000.0))
    {
        if (waitpid (pid, nullptr, WNOHANG) == pid)
        {
            std::fprintf (stderr, "%s ended before it had painted its window for a second\n", program[0]);
            return 1;
        }

        if (! waitForEvent (display, 10))
            continue;

        XEvent event;
        XNextEvent (display, &event);
        const double eventMs = msSince (start);

        if (event.type == CreateNotify && event.xcreatewindow.parent == root)
        {
            XDamageCreate (display, event.xcreatewindow.window, XDamageReportRawRectangles);
            XFlush (display);
        }
        else if (event.type == MapNotify && event.xmap.event == root)
        {
            mapped.insert (event.xmap.window);

            if (mappedMs < 0)
                mappedMs = eventMs;
        }
        else if (event.type == UnmapNotify || event.type == DestroyNotify)
        {
            mapped.erase (event.type == UnmapNotify ? event.xunmap.window : event.xdestroywindow.window);
        }
        else if (event.type == damageNotify)
        {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&> (event);

            if (mapped.count (damage.drawable) == 0
                 || damage.geometry.width != width || damage.geometry.height != height
                 || (window != None && damage.drawable != window))
                continue;

            auto row = middleRow (display, damage.drawable, width, height);

            if (row.empty() || isBlack (row) || damageQueued (display, damageNotify))
                continue;

            window = damage.drawable;

            if (drawnMs < 0)
                drawnMs = eventMs;

            readings.emplace_back (eventMs, std::move (row));
        }
    }

    long rss = -1;
    double paintMs = -1;

    if (drawnMs >= 0)
    {
        rss = residentKiB (pid);
        const auto settled = middleRow (display, window, width, height);

        for (const auto& [ms, row] : readings)
        {
            if (row == settled)
            {
                paintMs = ms;
                break;
            }
        }
    }

    kill (pid, SIGKILL);
    waitpid (pid, nullptr, 0);
    XCloseDisplay (display);

    if (paintMs < 0 || rss < 0)
    {
        std::fprintf (stderr, "%s showed no settled %dx%d window within 20 s\n", program[0], width, height);
        return 1;
    }

    std::printf ("%.2f %.2f %ld\n", mappedMs, paintMs, rss);
    return 0;
}
