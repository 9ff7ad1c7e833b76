#include "platform/InPlaceWrite.h"

#include "platform/DiskSync.h"
#include "platform/SiblingFile.h"
#include "platform/WholeWrite.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
    // Another save of the file holds its lock only while it writes; anyone
    // who may read the file may hold a shared one for as long as they like,
    // and the save, which holds the message thread, must end.
    constexpr auto longestWaitForTurn = std::chrono::seconds (3);

    // The file locked for this save alone. Any other failure to lock it
    // (ENOLCK, EOPNOTSUPP: a file system that keeps no locks) fails the save
    // too: unlocked, two saves at once could leave a mix of both.
    bool takeTurn (int file)
    {
        const auto giveUp = std::chrono::steady_clock::now() + longestWaitForTurn;

        for (;;)
        {
            if (::flock (file, LOCK_EX | LOCK_NB) == 0)
                return true;

            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= giveUp)
                return false;

            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
    }

    // Should the write and the writing back both fail, the copy is all that
    // is left of the old contents, and the saver may not be the file's owner:
    // it may be read by those who could read the file (the owner through the
    // group), and by no one else.
    void readableAsTheFileWas (int copy, const struct stat& file)
    {
        auto mode = (mode_t) (0600 | (file.st_mode & 0044));

        if (::fchown (copy, (uid_t) -1, file.st_gid) != 0)
            mode &= (mode_t) ~0040;

        (void) ::fchmod (copy, mode);
    }

    // Copies the whole of `from` to `to`, from and to their start; the length
    // copied, -1 on failure.
    off_t copyAll (int from, int to)
    {
        if (::lseek (to, 0, SEEK_SET) != 0)
            return -1;

        std::vector<char> buffer (1 << 16);
        off_t copied = 0;

        for (;;)
        {
            const auto got = ::pread (from, buffer.data(), buffer.size(), copied);

            if (got < 0 && errno == EINTR)
                continue;

            if (got < 0 || (got > 0 && ! WholeWrite::to (to, buffer.data(), (size_t) got)))
                return -1;

            if (got == 0)
                return copied;

            copied += got;
        }
    }

    // `to` holds exactly what `from` holds, and it is on disk.
    bool overwrite (int to, int from)
    {
        struct stat info {};
        const auto length = copyAll (from, to);

        return length >= 0
            && ::ftruncate (to, length) == 0
            && ::fstat (to, &info) == 0 && info.st_size == length
            && DiskSync::file (to);
    }

    bool isFile (int descriptor, const struct stat& file)
    {
        struct stat info {};
        return ::fstat (descriptor, &info) == 0 && info.st_dev == file.st_dev && info.st_ino == file.st_ino;
    }

    // The file at `path` open for writing, if it is `file`; -1 otherwise.
    // O_NONBLOCK: should a FIFO be put there meanwhile, this does not wait for
    // a reader.
    int openForWriting (const std::string& path, const struct stat& file)
    {
        const auto descriptor = ::open (path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);

        if (descriptor >= 0 && ! isFile (descriptor, file))
        {
            ::close (descriptor);
            return -1;
        }

        return descriptor;
    }
}

InPlaceWrite::Result InPlaceWrite::write (const std::string& path, int measured, int contents)
{
    struct stat old {};

    if (::fstat (measured, &old) != 0)
        return Result::failed;

    const auto file = ::open (path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);

    if (file < 0)
        return errno == ENOENT || errno == ELOOP ? Result::fileChanged : Result::failed;

    if (! takeTurn (file))
    {
        ::close (file);
        return Result::failed;
    }

    // Another save may have renamed its own file there while this one waited
    // for its turn.
    struct stat named {};

    if (! isFile (file, old) || ::lstat (path.c_str(), &named) != 0 || named.st_ino != old.st_ino || named.st_dev != old.st_dev)
    {
        ::close (file);
        return Result::fileChanged;
    }

    // The old contents, measured once the turn is ours.
    std::string copyPath;
    const auto copy = SiblingFile::create (path, 0600, copyPath);

    if (copy >= 0)
        readableAsTheFileWas (copy, old);

    const bool copied = copy >= 0
                     && ::fstat (measured, &old) == 0
                     && copyAll (measured, copy) == old.st_size
                     && DiskSync::file (copy);

    if (! copied)
    {
        ::close (file);

        if (copy >= 0)
        {
            ::close (copy);
            ::unlink (copyPath.c_str());
        }

        return Result::failed;
    }

    const bool written = overwrite (file, contents);

    if (written && ::close (file) == 0)
    {
        ::close (copy);
        ::unlink (copyPath.c_str());
        return Result::written;
    }

    // The old contents go back: into the file still open, or, when its close
    // failed (which took the descriptor with it), opened again.
    const auto again = written ? openForWriting (path, old) : file;
    const bool restored = again >= 0 && overwrite (again, copy);
    const bool closedAgain = again >= 0 && ::close (again) == 0;
    ::close (copy);

    if (restored && closedAgain)
        ::unlink (copyPath.c_str());

    return Result::failed;
}
