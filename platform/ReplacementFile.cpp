#include "platform/ReplacementFile.h"

#include "platform/ExtendedAttributes.h"

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
    // exist. The system walks the path first: realpath reads the links
    // itself, and the system's own rule for links (fs.protected_symlinks)
    // is asked only on the system's walk.
    std::string realFolder (const std::string& folder)
    {
        struct stat info {};

        if (::stat (folder.c_str(), &info) != 0 || ! S_ISDIR (info.st_mode))
            return {};

        const std::unique_ptr<char, decltype (&std::free)> real (::realpath (folder.c_str(), nullptr), &std::free);
        return real != nullptr ? std::string (real.get()) : std::string();
    }

    // `path` with its folder resolved, its own name kept as it is; empty when
    // there is no such folder or the name is none a file can have.
    std::string inRealFolder (const std::string& path)
    {
        const auto slash = path.rfind ('/');

        if (slash == std::string::npos)
            return {};

        const auto name = path.substr (slash + 1);
        const auto folder = realFolder (slash == 0 ? "/" : path.substr (0, slash));

        if (name.empty() || name == "." || name == ".." || folder.empty())
            return {};

        return inFolder (folder, name);
    }

    std::string folderOf (const std::string& path)
    {
        const auto slash = path.rfind ('/');
        return slash == 0 ? std::string ("/") : path.substr (0, slash);
    }

    // In a sticky folder anyone may write, such as /tmp, what another user
    // put there is no file of the user's: a link could lead a save anywhere
    // the user may write, and a file replaced would hand the new contents to
    // its owner (root may give them the file). The kernel follows a link
    // there (fs.protected_symlinks) and writes to a file there
    // (fs.protected_regular) only when it is the user's own or the folder
    // owner's; links followed here must keep to that whatever the system's
    // setting, and on systems without the rule.
    bool mayBeUsed (const std::string& path, const struct stat& info)
    {
        struct stat folder {};

        if (::stat (folderOf (path).c_str(), &folder) != 0)
            return false;

        const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
        return ! shared || info.st_uid == ::geteuid() || info.st_uid == folder.st_uid;
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
    // links go round in a loop, one of them may not be followed or a folder
    // on the way does not exist.
    std::string fileAtEndOfLinks (std::string path)
    {
        for (int hops = 0; hops <= maxLinks; ++hops)
        {
            path = inRealFolder (path);

            if (path.empty())
                return {};

            struct stat info {};

            if (::lstat (path.c_str(), &info) != 0 || ! S_ISLNK (info.st_mode))
                return path;

            const auto next = mayBeUsed (path, info) ? linkText (path) : std::string();

            if (next.empty())
                return {};

            path = next[0] == '/' ? next : inFolder (folderOf (path), next);
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

    // fsync, not fdatasync: the owner, mode and ACL just set must reach the
    // disk with the contents. On macOS fsync leaves the data in the drive's
    // cache; F_FULLFSYNC empties it where the file system can.
    bool putOnDisk (int descriptor)
    {
       #ifdef F_FULLFSYNC
        if (::fcntl (descriptor, F_FULLFSYNC) == 0)
            return true;
       #endif

        return ::fsync (descriptor) == 0;
    }

    // The rename itself is on disk only once its folder is. Best effort:
    // some file systems refuse to sync a folder, and the new file is in
    // place either way.
    void putFolderOnDisk (const std::string& folder)
    {
        const auto descriptor = ::open (folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

        if (descriptor >= 0)
        {
            (void) ::fsync (descriptor);
            ::close (descriptor);
        }
    }
}

ReplacementFile::ReplacementFile (const juce::File& target, LinkAtTarget links)
{
    const auto name = target.getFullPathName().toStdString();
    const auto path = links == LinkAtTarget::followed ? fileAtEndOfLinks (name) : inRealFolder (name);

    if (path.empty())
        return;

    struct stat info {};
    const bool found = ::lstat (path.c_str(), &info) == 0;

    if (! found && errno != ENOENT)
        return;

    // With LinkAtTarget::replaced a link here gives way to the new file,
    // which takes on nothing from it. At the end of a followed chain a link
    // is one put there since, and nothing is replaced.
    if (found && S_ISLNK (info.st_mode))
    {
        if (links == LinkAtTarget::followed)
            return;
    }
    else if (found)
    {
        // Renaming over an empty folder would delete it, and a FIFO or a
        // device is no document.
        if (! S_ISREG (info.st_mode) || ! mayBeWritten (path, info) || ! mayBeUsed (path, info))
            return;

        replacesAFile = true;
        previousMode = info.st_mode & 07777;
        previousOwner = info.st_uid;
        previousGroup = info.st_gid;
        previousDevice = info.st_dev;
        previousInode = info.st_ino;
    }

    const auto folder = folderOf (path);
    juce::Random random;

    // Until its permissions are set the new file is the owner's alone: the
    // file it replaces may be private. A file of its own gets what the
    // user's umask leaves of 0666, as any new file of theirs.
    const mode_t initialMode = replacesAFile ? 0600 : 0666;

    // O_EXCL: whatever stands at the name, a link even, dangling or not, is
    // left alone and another name tried; O_NOFOLLOW says so once more.
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt)
    {
        temporaryPath = inFolder (folder, temporaryName (folder, path.substr (path.rfind ('/') + 1), random));
        descriptor = ::open (temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, initialMode);

        if (descriptor < 0 && errno != EEXIST && errno != ELOOP)
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

    // After the owner, for setting an ACL is the owner's right, and before
    // the mode, which sets the ACL's mask. The group bits of a file with an
    // ACL show its mask, the most it grants any named user or group, not
    // what its group may do: without the ACL they would become the group's
    // own, so they go.
    //
    // The attributes are read by name: one that names another file by now
    // (someone swapped it) gives none, as though the copy had failed.
    struct stat replaced {};
    const bool sameFile = ::lstat (targetPath.c_str(), &replaced) == 0
                       && replaced.st_dev == previousDevice && replaced.st_ino == previousInode;
    const auto attributes = sameFile ? ExtendedAttributes::copy (targetPath, descriptor)
                                     : ExtendedAttributes::Copied::allButAcl;

    if (attributes == ExtendedAttributes::Copied::failed)
        return false;

    if (attributes == ExtendedAttributes::Copied::allButAcl)
        mode &= (mode_t) ~S_IRWXG;

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

    // Renamed before its contents are on disk, the file could be found empty
    // after a power cut, and a network file system or a quota may report a
    // failed write only now, or only when the file is closed.
    struct stat written {};

    if (! putOnDisk (descriptor) || ::fstat (descriptor, &written) != 0)
        return false;

    const auto closed = ::close (descriptor);
    descriptor = -1;

    if (closed != 0)
        return false;

    // What is renamed must be the file that was written and measured, not
    // whatever has since been put under its name.
    struct stat named {};

    if (::lstat (temporaryPath.c_str(), &named) != 0
         || written.st_dev != named.st_dev || written.st_ino != named.st_ino)
        return false;

    if (::rename (temporaryPath.c_str(), targetPath.c_str()) != 0)
        return false;

    temporaryPath.clear();
    putFolderOnDisk (folderOf (targetPath));
    return true;
}
