#include "platform/PathWalk.h"

#include <cerrno>
#include <climits>
#include <unistd.h>
#include <vector>

namespace
{
    // Linux follows at most 40 links in one path, macOS 32.
    constexpr int maxLinks = 32;

    // Puts the parts of `path` on the stack of those still to walk, its first
    // part on top.
    void pushParts (std::vector<std::string>& toWalk, const std::string& path)
    {
        std::vector<std::string> parts;

        for (size_t start = 0; start < path.size();)
        {
            auto end = path.find ('/', start);

            if (end == std::string::npos)
                end = path.size();

            if (end > start)
                parts.push_back (path.substr (start, end - start));

            start = end + 1;
        }

        toWalk.insert (toWalk.end(), parts.rbegin(), parts.rend());
    }

    std::string linkText (const std::string& link)
    {
        std::vector<char> text (PATH_MAX + 1);
        const auto length = ::readlink (link.c_str(), text.data(), text.size());

        if (length <= 0 || (size_t) length >= text.size())
            return {};

        return std::string (text.data(), (size_t) length);
    }
}

std::string PathWalk::folderOf (const std::string& path)
{
    const auto slash = path.rfind ('/');
    return slash == 0 || slash == std::string::npos ? std::string ("/") : path.substr (0, slash);
}

std::string PathWalk::inFolder (const std::string& folder, const std::string& name)
{
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

bool PathWalk::mayBeUsed (const std::string& path, const struct stat& info)
{
    struct stat folder {};

    if (::stat (folderOf (path).c_str(), &folder) != 0)
        return false;

    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return ! shared || info.st_uid == ::geteuid() || info.st_uid == folder.st_uid;
}

std::string PathWalk::resolve (const std::string& path, bool followLast)
{
    if (path.empty() || path[0] != '/')
        return {};

    std::vector<std::string> toWalk;
    pushParts (toWalk, path);

    // Always a real folder: no link in it.
    std::string walked = "/";
    int links = 0;

    while (! toWalk.empty())
    {
        const auto part = toWalk.back();
        toWalk.pop_back();
        const bool last = toWalk.empty();

        // ".." in a folder without links is its parent, as the system has it.
        if (part == "." || part == "..")
        {
            if (last)
                return {};

            if (part == "..")
                walked = folderOf (walked);

            continue;
        }

        const auto next = inFolder (walked, part);
        struct stat info {};

        if (::lstat (next.c_str(), &info) != 0)
            return last && errno == ENOENT ? next : std::string();

        if (S_ISLNK (info.st_mode) && (followLast || ! last))
        {
            if (++links > maxLinks || ! mayBeUsed (next, info))
                return {};

            // A relative link goes on from its own folder, `walked`.
            const auto text = linkText (next);

            if (text.empty())
                return {};

            if (text[0] == '/')
                walked = "/";

            pushParts (toWalk, text);
            continue;
        }

        if (last)
            return next;

        if (! S_ISDIR (info.st_mode))
            return {};

        walked = next;
    }

    // The path, or a link at its end, names the root folder.
    return {};
}
