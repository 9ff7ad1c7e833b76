#include "tests/support/SystemCallWatch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <sys/file.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{
    struct Rule
    {
        std::string call, on;
        int error = 0, times = 1;
        std::function<void()> action;
    };

    struct Watch
    {
        std::mutex lock;
        std::string folder, target;
        std::vector<std::string> newFiles, calls;
        std::vector<Rule> rules;
    };

    // Never destroyed before the end: another thread may be judging a call.
    Watch& watched()
    {
        static Watch w;
        return w;
    }

    std::atomic<bool> watching { false };

    // Set while a call is judged or a rule's action runs: the calls made
    // meanwhile pass straight on.
    thread_local bool judging = false;

    std::string pathOf (int descriptor)
    {
        char link[64], path[PATH_MAX];
        std::snprintf (link, sizeof (link), "/proc/self/fd/%d", descriptor);
        const auto length = ::readlink (link, path, sizeof (path));
        return length > 0 ? std::string (path, (size_t) length) : std::string();
    }

    std::string roleOf (Watch& w, std::string path)
    {
        const std::string deleted = " (deleted)";

        if (path.size() > deleted.size() && path.compare (path.size() - deleted.size(), deleted.size(), deleted) == 0)
            path.resize (path.size() - deleted.size());

        if (path == w.target)
            return "target";

        if (path == w.folder)
            return "folder";

        const auto prefix = w.folder + "/";

        if (path.compare (0, prefix.size(), prefix) != 0 || path.find ('/', prefix.size()) != std::string::npos)
            return {};

        auto found = std::find (w.newFiles.begin(), w.newFiles.end(), path);

        if (found == w.newFiles.end())
            found = w.newFiles.insert (found, path);

        return "new" + std::to_string (found - w.newFiles.begin() + 1);
    }

    // The error a watched call is to fail with, 0 when it is to be made.
    template <typename Path>
    int judge (const char* call, Path path, const char* attribute = nullptr)
    {
        if (! watching || judging)
            return 0;

        auto* w = &watched();

        judging = true;
        std::function<void()> action;
        int error = 0;

        {
            const std::lock_guard<std::mutex> held (w->lock);
            const auto role = roleOf (*w, path());

            if (! role.empty())
            {
                const auto entry = std::string (call) + " " + role;

                if (w->calls.empty() || w->calls.back() != entry)
                    w->calls.push_back (entry);

                for (auto& rule : w->rules)
                {
                    const bool on = rule.on == role
                                 || (attribute != nullptr && std::string (attribute).rfind (rule.on, 0) == 0);

                    if (rule.times != 0 && rule.call == call && on)
                    {
                        rule.times -= rule.times > 0 ? 1 : 0;
                        action = rule.action;
                        error = rule.error;
                        break;
                    }
                }
            }
        }

        if (action)
            action();

        judging = false;
        return error;
    }

    template <typename Function>
    Function next (const char* name)
    {
        return reinterpret_cast<Function> (::dlsym (RTLD_NEXT, name));
    }

    auto ofDescriptor (int descriptor)
    {
        return [descriptor] { return pathOf (descriptor); };
    }
}

SystemCallWatch::SystemCallWatch (const std::string& folder, const std::string& target)
{
    auto& w = watched();
    const std::lock_guard<std::mutex> held (w.lock);
    w.folder = folder;
    w.target = target;
    w.newFiles.clear();
    w.calls.clear();
    w.rules.clear();
    watching = true;
}

SystemCallWatch::~SystemCallWatch()
{
    watching = false;
}

void SystemCallWatch::fail (const std::string& call, const std::string& on, int error, int times)
{
    const std::lock_guard<std::mutex> held (watched().lock);
    watched().rules.push_back ({ call, on, error, times, {} });
}

void SystemCallWatch::before (const std::string& call, const std::string& on, std::function<void()> action)
{
    const std::lock_guard<std::mutex> held (watched().lock);
    watched().rules.push_back ({ call, on, 0, 1, std::move (action) });
}

std::vector<std::string> SystemCallWatch::calls() const
{
    const std::lock_guard<std::mutex> held (watched().lock);
    return watched().calls;
}

#define QUELT_FAIL_IF_ASKED(...)                      \
    if (const auto error = judge (__VA_ARGS__))       \
    {                                                 \
        errno = error;                                \
        return -1;                                    \
    }

extern "C"
{
    ssize_t write (int descriptor, const void* data, size_t size)
    {
        static const auto real = next<decltype (&write)> ("write");
        QUELT_FAIL_IF_ASKED ("write", ofDescriptor (descriptor))
        return real (descriptor, data, size);
    }

    int ftruncate (int descriptor, off_t length) noexcept
    {
        static const auto real = next<decltype (&ftruncate)> ("ftruncate");
        QUELT_FAIL_IF_ASKED ("ftruncate", ofDescriptor (descriptor))
        return real (descriptor, length);
    }

    int fsync (int descriptor)
    {
        static const auto real = next<decltype (&fsync)> ("fsync");
        QUELT_FAIL_IF_ASKED ("fsync", ofDescriptor (descriptor))
        return real (descriptor);
    }

    int close (int descriptor)
    {
        static const auto real = next<decltype (&close)> ("close");
        const auto error = judge ("close", ofDescriptor (descriptor));
        const auto closed = real (descriptor);

        if (error == 0)
            return closed;

        errno = error;
        return -1;
    }

    int rename (const char* from, const char* to) noexcept
    {
        static const auto real = next<decltype (&rename)> ("rename");
        QUELT_FAIL_IF_ASKED ("rename", [from] { return std::string (from); })
        return real (from, to);
    }

    int fchown (int descriptor, uid_t owner, gid_t group) noexcept
    {
        static const auto real = next<decltype (&fchown)> ("fchown");
        QUELT_FAIL_IF_ASKED ("fchown", ofDescriptor (descriptor))
        return real (descriptor, owner, group);
    }

    int flock (int descriptor, int operation) noexcept
    {
        static const auto real = next<decltype (&flock)> ("flock");
        QUELT_FAIL_IF_ASKED ("flock", ofDescriptor (descriptor))
        return real (descriptor, operation);
    }

    ssize_t flistxattr (int descriptor, char* names, size_t size) noexcept
    {
        static const auto real = next<decltype (&flistxattr)> ("flistxattr");
        QUELT_FAIL_IF_ASKED ("flistxattr", ofDescriptor (descriptor))
        return real (descriptor, names, size);
    }

    ssize_t fgetxattr (int descriptor, const char* name, void* value, size_t size) noexcept
    {
        static const auto real = next<decltype (&fgetxattr)> ("fgetxattr");
        QUELT_FAIL_IF_ASKED ("fgetxattr", ofDescriptor (descriptor), name)
        return real (descriptor, name, value, size);
    }

    int fsetxattr (int descriptor, const char* name, const void* value, size_t size, int flags) noexcept
    {
        static const auto real = next<decltype (&fsetxattr)> ("fsetxattr");
        QUELT_FAIL_IF_ASKED ("fsetxattr", ofDescriptor (descriptor), name)
        return real (descriptor, name, value, size, flags);
    }
}
