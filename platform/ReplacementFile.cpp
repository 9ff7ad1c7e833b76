#include "platform/ReplacementFile.h"

#include "platform/DiskSync.h"
#include "platform/ExtendedAttributes.h"
#include "platform/InPlaceWrite.h"
#include "platform/PathWalk.h"
#include "platform/SiblingFile.h"
#include "platform/WholeWrite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{
    // How often a file that took the target's name during the save is
    // measured before the save gives up: each time another save renamed its
    // file there in the moment between two looks.
    constexpr int maxMeasures = 8;

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

    bool sameFile (const struct stat& a, const struct stat& b)
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
}

ReplacementFile::ReplacementFile (const juce::File& target, LinkAtTarget linksAtTarget)
    : links (linksAtTarget)
{
    targetPath = PathWalk::resolve (target.getFullPathName().toStdString(), links == LinkAtTarget::followed);

    if (targetPath.empty())
        return;

    const auto found = measure();

    if (found == Measured::refused)
    {
        targetPath.clear();
        return;
    }

    // Until its permissions are set the new file is the owner's alone: the
    // file it replaces may be private. A file of its own gets what the
    // user's umask leaves of 0666, as any new file of theirs.
    descriptor = SiblingFile::create (targetPath, found == Measured::file ? 0600 : 0666, temporaryPath);
}

ReplacementFile::~ReplacementFile()
{
    if (descriptor >= 0)
        ::close (descriptor);

    if (replaced >= 0)
        ::close (replaced);

    if (! temporaryPath.empty())
        ::unlink (temporaryPath.c_str());
}

ReplacementFile::Measured ReplacementFile::measure()
{
    struct stat named {};

    if (::lstat (targetPath.c_str(), &named) != 0)
        return errno == ENOENT ? Measured::none : Measured::refused;

    // With LinkAtTarget::replaced a link here gives way to the new file,
    // which takes on nothing from it. At the end of a followed chain a link
    // is one put there since, and nothing is replaced.
    if (S_ISLNK (named.st_mode))
        return links == LinkAtTarget::replaced ? Measured::none : Measured::refused;

    // Renaming over an empty folder would delete it, and a FIFO or a device
    // is no document; such a file is not even opened.
    if (! S_ISREG (named.st_mode))
        return Measured::refused;

    // O_NONBLOCK: should a FIFO be put here meanwhile, opening it does not
    // wait for a writer.
    const auto file = ::open (targetPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};

    if (file < 0)
        return Measured::refused;

    if (::fstat (file, &info) != 0 || ! S_ISREG (info.st_mode)
         || ! mayBeWritten (targetPath, info) || ! PathWalk::mayBeUsed (targetPath, info))
    {
        ::close (file);
        return Measured::refused;
    }

    if (replaced >= 0)
        ::close (replaced);

    replaced = file;
    measured = info;
    return Measured::file;
}

bool ReplacementFile::stillAtItsName() const
{
    struct stat named {};
    return ::lstat (targetPath.c_str(), &named) == 0 && sameFile (named, measured);
}

bool ReplacementFile::write (const void* data, size_t size)
{
    return descriptor >= 0 && WholeWrite::to (descriptor, data, size);
}

juce::int64 ReplacementFile::sizeOnDisk() const
{
    struct stat info {};

    if (descriptor < 0 || ::fstat (descriptor, &info) != 0)
        return -1;

    return (juce::int64) info.st_size;
}

ReplacementFile::Kept ReplacementFile::keepOwnerAndPermissions()
{
    struct stat info {};

    if (::fstat (descriptor, &info) != 0)
        return Kept::failed;

    // Only root may give a file away, and a user may give it only a group of
    // their own: a new file of another owner or group would take the file
    // from them.
    if (info.st_uid != measured.st_uid || info.st_gid != measured.st_gid)
    {
        (void) ::fchown (descriptor, measured.st_uid, measured.st_gid);

        if (::fstat (descriptor, &info) != 0)
            return Kept::failed;

        if (info.st_uid != measured.st_uid || info.st_gid != measured.st_gid)
            return Kept::notOwner;
    }

    // After the owner, for setting an ACL is the owner's right, and before
    // the mode, which sets the ACL's mask. The group bits of a file with an
    // ACL show its mask, the most it grants any named user or group, not
    // what its group may do: without the ACL they would become the group's
    // own, so they go.
    auto mode = measured.st_mode & 07777;
    const auto attributes = ExtendedAttributes::copy (replaced, descriptor);

    if (attributes == ExtendedAttributes::Copied::failed)
        return Kept::failed;

    if (attributes == ExtendedAttributes::Copied::allButAcl)
        mode &= (mode_t) ~S_IRWXG;

    // After the owner: a change of owner clears the set-id bits. A file
    // system that keeps no permissions refuses; the new file then stays
    // private (0600), which is safe, and the save goes on.
    (void) ::fchmod (descriptor, mode);
    return Kept::all;
}

bool ReplacementFile::takeTargetsPlace()
{
    if (descriptor < 0)
        return false;

    // Each pass gives the new file what the file measured has, then looks
    // whether that file still has its name; if not, the one there now is
    // measured (see the header).
    for (int measures = 1; replaced >= 0; ++measures)
    {
        const auto kept = keepOwnerAndPermissions();

        if (kept == Kept::failed)
            return false;

        if (kept == Kept::notOwner)
        {
            // The new contents are on disk beside the file before it changes.
            if (! DiskSync::file (descriptor))
                return false;

            const auto inPlace = InPlaceWrite::write (targetPath, replaced, descriptor);

            if (inPlace != InPlaceWrite::Result::fileChanged)
                return inPlace == InPlaceWrite::Result::written;
        }
        else if (stillAtItsName())
        {
            break;
        }

        const auto owner = measured.st_uid;
        const auto group = measured.st_gid;
        const auto now = measures < maxMeasures ? measure() : Measured::refused;

        if (now == Measured::refused || (now == Measured::none && kept == Kept::notOwner))
            return false;

        if (now == Measured::none)
            break;

        if (measured.st_uid != owner || measured.st_gid != group)
            return false;
    }

    return renameOverTarget();
}

bool ReplacementFile::renameOverTarget()
{
    // Renamed before its contents are on disk, the file could be found empty
    // after a power cut, and a network file system or a quota may report a
    // failed write only now, or only when the file is closed.
    struct stat written {};

    if (! DiskSync::file (descriptor) || ::fstat (descriptor, &written) != 0)
        return false;

    const auto closed = ::close (descriptor);
    descriptor = -1;

    if (closed != 0)
        return false;

    // What is renamed must be the file that was written and measured, not
    // whatever has since been put under its name.
    struct stat named {};

    if (::lstat (temporaryPath.c_str(), &named) != 0 || ! sameFile (written, named))
        return false;

    if (::rename (temporaryPath.c_str(), targetPath.c_str()) != 0)
        return false;

    temporaryPath.clear();
    DiskSync::folder (PathWalk::folderOf (targetPath));
    return true;
}
