#include "platform/ReplacementFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
    // Linux follows at most 40 links in one path, macOS 32.
    constexpr int maxLinks = 32;

   #ifdef NAME_MAX
    constexpr long defaultNameLimit = NAME_MAX;
   #else
    constexpr long defaultNameLimit = 255;
   #endif

    std::string inFolder (const std::string& folder, const std::string& name)
    {
        return (folder == "/" ? std::string() : folder) + "/" + name;
    }

    // A folder's path with every link in it resolved; empty when it does not
    // exist.
    std::string realFolder (const std::string& folder)
    {
        const std::unique_ptr<char, decltype (&std::free)> real (::realpath (folder.c_str(), nullptr), &std::free);
        return real != nullptr ? std::string (real.get()) : std::string();
    }

    std::string linkText (const std::string& link)
    {
        std::vector<char> text (PATH_MAX + 1);
        const auto length = ::readlink (link.c_str(), text.data(), text.size());

        if (length <= 0 || (size_t) length >= text.size())
            return {};

        return std::string (text.data(), (size_t) length);
    }

    // The file a write to `path` reaches: links followed to their end, a
    // relative one from its own link's folder. Each folder on the way is
    // resolved by the system, so that ".." in a link means what the system
    // makes of it. A dangling link ends at the file it names. Empty when the
    // links go round in a loop or a folder on the way does not exist.
    std::string fileAtEndOfLinks (std::string path)
    {
        for (int hops = 0; hops <= maxLinks; ++hops)
        {
            const auto slash = path.rfind ('/');

            if (slash == std::string::npos)
                return {};

            const auto name = path.substr (slash + 1);
            const auto folder = realFolder (slash == 0 ? "/" : path.substr (0, slash));

            if (name.empty() || name == "." || name == ".." || folder.empty())
                return {};

            path = inFolder (folder, name);
            struct stat info {};

            if (::lstat (path.c_str(), &info) != 0 || ! S_ISLNK (info.st_mode))
                return path;

            const auto next = linkText (path);

            if (next.empty())
                return {};

            path = next[0] == '/' ? next : inFolder (folder, next);
        }

        return {};
    }

    // A rename needs only the right to write the folder, so the replaced
    // file's own permissions would never be asked: they are asked here. For a
    // user the system says whether the file may be written; root may write
    // anything, so a file that grants no one the right to write it, which
    // someone made read-only on purpose, is refused to everyone.
    bool mayBeWritten (const std::string& path, const struct stat& info)
    {
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
            && ::access (path.c_str(), W_OK) == 0;
    }

    // A name for the new file in `folder`, hidden, that stays within the
    // folder's limit on name length however long the target's name is: the
    // target's name is shortened, at a whole UTF-8 character, to make room.
    std::string temporaryName (const std::string& folder, const std::string& targetName, juce::Random& random)
    {
        const auto suffix = ".tmp" + juce::String::toHexString (random.nextInt()).paddedLeft ('0', 8).toStdString();

        auto limit = ::pathconf (folder.c_str(), _PC_NAME_MAX);

        if (limit <= 0)
            limit = defaultNameLimit;

        const auto room = (size_t) std::max (0L, limit - 1 - (long) suffix.size());
        auto length = std::min (targetName.size(), room);

        while (length > 0 && length < targetName.size() && ((unsigned char) targetName[length] & 0xC0) == 0x80)
            --length;

        return "." + targetName.substr (0, length) + suffix;
    }
}

ReplacementFile::ReplacementFile (const juce::File& target)
{
    const auto path = fileAtEndOfLinks (target.getFullPathName().toStdString());

    if (path.empty())
        return;

    struct stat info {};

    if (::lstat (path.c_str(), &info) == 0)
    {
        // Renaming over an empty folder would delete it, and a FIFO or a
        // device is no document.
        if (! S_ISREG (info.st_mode) || ! mayBeWritten (path, info))
            return;

        replacesAFile = true;
        previousMode = info.st_mode & 07777;
        previousOwner = info.st_uid;
        previousGroup = info.st_gid;
    }
    else if (errno != ENOENT)
    {
        return;
    }

    const auto slash = path.rfind ('/');
    const auto folder = slash == 0 ? std::string ("/") : path.substr (0, slash);
    juce::Random random;

    // Until its permissions are set the new file is the owner's alone: the
    // file it replaces may be private. A file of its own gets the default
    // permissions.
    const mode_t initialMode = replacesAFile ? 0600 : 0644;

    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt)
    {
        temporaryPath = inFolder (folder, temporaryName (folder, path.substr (slash + 1), random));
        descriptor = ::open (temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, initialMode);

        if (descriptor < 0 && errno != EEXIST)
            break;
    }

    if (descriptor < 0)
        temporaryPath.clear();
    else
        targetPath = path;
}

ReplacementFile::~ReplacementFile()
{
    if (descriptor >= 0)
        ::close (descriptor);

    if (! temporaryPath.empty())
        ::unlink (temporaryPath.c_str());
}

bool ReplacementFile::write (const void* data, size_t size)
{
    auto* bytes = static_cast<const char*> (data);

    while (descriptor >= 0 && size > 0)
    {
        const auto written = ::write (descriptor, bytes, size);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        bytes += written;
        size -= (size_t) written;
    }

    return descriptor >= 0;
}

juce::int64 ReplacementFile::sizeOnDisk() const
{
    struct stat info {};

    if (descriptor < 0 || ::fstat (descriptor, &info) != 0)
        return -1;

    return (juce::int64) info.st_size;
}

bool ReplacementFile::keepOwnerAndPermissions()
{
    struct stat info {};

    if (::fstat (descriptor, &info) != 0)
        return false;

    auto mode = previousMode;

    // Only root may give a file away; a user may still give it back its group
    // when a member of it. Bits the replaced file granted its group are not
    // passed on to another group, nor set-id bits to another owner; failing
    // to keep the owner does not fail the save.
    if (info.st_uid != previousOwner || info.st_gid != previousGroup)
    {
        if (::fchown (descriptor, previousOwner, previousGroup) != 0)
            (void) ::fchown (descriptor, (uid_t) -1, previousGroup);

        if (::fstat (descriptor, &info) != 0)
            return false;

        if (info.st_gid != previousGroup)
            mode &= (mode_t) ~(S_IRWXG | S_ISGID);

        if (info.st_uid != previousOwner)
            mode &= (mode_t) ~S_ISUID;
    }

    // After the owner: a change of owner clears the set-id bits. A file
    // system that keeps no permissions refuses; the new file then stays
    // private (0600), which is safe, and the save goes on.
    (void) ::fchmod (descriptor, mode);
    return true;
}

bool ReplacementFile::takeTargetsPlace()
{
    if (descriptor < 0 || (replacesAFile && ! keepOwnerAndPermissions()))
        return false;

    // What is renamed must be the file that was written and measured, not
    // whatever has since been put under its name.
    struct stat written {}, named {};

    if (::fstat (descriptor, &written) != 0 || ::lstat (temporaryPath.c_str(), &named) != 0
         || written.st_dev != named.st_dev || written.st_ino != named.st_ino)
        return false;

    if (::rename (temporaryPath.c_str(), targetPath.c_str()) != 0)
        return false;

    temporaryPath.clear();
    return true;
}
