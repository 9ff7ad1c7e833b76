#include "tests/core/FileReplacing.h"

#ifdef __linux__

#include "tests/support/HangGuard.h"
#include "tests/support/SystemCallWatch.h"

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>

// The rules a save that goes well never shows, each made to fail at the
// system call that carries it.
namespace
{
    std::string pathOf (const juce::File& file)
    {
        return file.getFullPathName().toStdString();
    }

    // The first `count` of the calls that write, sync, close or rename.
    std::vector<std::string> durabilityCalls (const std::vector<std::string>& calls, size_t count)
    {
        std::vector<std::string> kept;

        for (const auto& call : calls)
            for (const char* name : { "write ", "ftruncate ", "fsync ", "close ", "rename " })
                if (call.rfind (name, 0) == 0 && kept.size() < count)
                    kept.push_back (call);

        return kept;
    }

    struct Fault
    {
        const char* call;
        const char* on;
        int error;
        const char* why;
    };

    // Each save, failed at its fault (error 0: another file put under the
    // call's file's name just before it), fails and leaves `file` as it was,
    // with no temporary file beside it.
    void expectEachFaultFailsTheSave (const juce::File& folder, const juce::File& file, const std::vector<Fault>& faults)
    {
        const auto before = describe (file);
        const auto inode = statOf (file).st_ino;

        for (const auto& f : faults)
        {
            SCOPED_TRACE (f.why);
            bool saved = true;
            {
                SystemCallWatch watch (pathOf (folder), pathOf (file));

                if (f.error != 0)
                    watch.fail (f.call, f.on, f.error);
                else
                    watch.before (f.call, f.on, [&] {
                        for (const auto& hidden : folder.findChildFiles (juce::File::findFiles, false, ".*"))
                            ASSERT_TRUE (hidden.deleteFile() && hidden.replaceWithText ("intruder"));
                    });

                saved = FileReplacer::replace (file, "new", 3);
            }

            EXPECT_FALSE (saved);
            EXPECT_EQ (file.loadFileAsString(), "old");
            EXPECT_EQ (statOf (file).st_ino, inode);
            EXPECT_EQ (describe (file), before);
            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "no temporary file left behind";
        }
    }
}

TEST_F (FileReplacing, TheNewFileIsOnDiskBeforeItsRenameAndTheRenameAfterIt)
{
    auto file = folder.getChildFile ("ordered.quelt");
    ASSERT_TRUE (file.replaceWithText ("old"));
    const SystemCallWatch watch (pathOf (folder), pathOf (file));

    ASSERT_TRUE (save (file, "new"));
    EXPECT_EQ (durabilityCalls (watch.calls(), 5),
               (std::vector<std::string> { "write new1", "fsync new1", "close new1", "rename new1", "fsync folder" }));
}

TEST_F (FileReplacing, AFailureOnTheWayFailsTheSaveAndLeavesTheFileAsItWas)
{
    auto file = folder.getChildFile ("faulty.quelt");
    ASSERT_TRUE (file.replaceWithText ("old"));
    ASSERT_EQ (::chmod (pathOf (file).c_str(), 0640), 0);

    expectEachFaultFailsTheSave (folder, file, {
        { "write",      "new1",   ENOSPC, "a full disk" },
        { "fsync",      "new1",   EIO,    "the contents did not reach the disk" },
        { "close",      "new1",   EIO,    "a network file system reports a failed write at close" },
        { "rename",     "new1",   EIO,    "the rename" },
        { "close",      "new1",   0,      "another file put under the new file's name before the rename" },
        { "flistxattr", "target", EIO,    "the old file's attributes could not be listed" },
        { "flistxattr", "new1",   EIO,    "the new file's attributes could not be listed" },
    });
}

TEST_F (FileReplacing, AnAttributeOrAclLostToAFullDiskOrAnIoErrorFailsTheSave)
{
    auto file = folder.getChildFile ("faulty.quelt");

    if (! sharedFile (file))
        GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs and user attributes";

    expectEachFaultFailsTheSave (folder, file, {
        { "fsetxattr", "user.",                   ENOSPC, "no room for an attribute" },
        { "fgetxattr", "system.posix_acl_access", EIO,    "the ACL could not be read" },
        { "fsetxattr", "system.posix_acl_access", ENOSPC, "no room for the ACL" },
        { "fsetxattr", "system.posix_acl_access", EIO,    "the ACL could not be set" },
    });
}

TEST_F (FileReplacing, AnAclThatCannotBeCopiedTakesTheGroupBitsAlong)
{
    // The group bits of a file with an ACL show its mask: without the ACL
    // they would grant the group what only named users had.
    for (const auto& f : { Fault { "fgetxattr", "system.posix_acl_access", EACCES, "read" },
                           Fault { "fsetxattr", "system.posix_acl_access", EPERM, "set" } })
    {
        SCOPED_TRACE (f.why);
        auto file = folder.getChildFile ("acl.quelt");

        if (! sharedFile (file))
            GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs and user attributes";

        {
            SystemCallWatch watch (pathOf (folder), pathOf (file));
            watch.fail (f.call, f.on, f.error);
            ASSERT_TRUE (save (file, "new"));
        }

        EXPECT_EQ (statOf (file).st_mode & 07777, 0600u);
        EXPECT_FALSE (describe (file).contains (namedUser()));
        EXPECT_EQ (attribute (file, "user.quelt"), "kept") << "the other attributes are copied all the same";
    }
}

TEST_F (FileReplacing, AFileOfTheSameOwnerThatTookTheNameMeanwhileIsMeasuredAgain)
{
    // Another save of the file renamed its own new one there while this save
    // was measuring the file it found.
    auto file = folder.getChildFile ("measured.quelt");
    auto other = folder.getChildFile ("other");
    ASSERT_TRUE (file.replaceWithText ("old") && other.replaceWithText ("other"));
    ASSERT_EQ (::chmod (other.getFullPathName().toRawUTF8(), 0604), 0);

    if (! setAttribute (file, "user.quelt", "first") || ! setAttribute (other, "user.other", "second"))
        GTEST_SKIP() << "needs a file system that keeps user attributes";

    {
        SystemCallWatch watch (pathOf (folder), pathOf (file));
        watch.before ("flistxattr", "target", [&] { ASSERT_EQ (::rename (pathOf (other).c_str(), pathOf (file).c_str()), 0); });
        ASSERT_TRUE (save (file, "new"));
    }

    EXPECT_EQ (file.loadFileAsString(), "new");
    EXPECT_EQ (statOf (file).st_mode & 07777, 0604u);
    EXPECT_EQ (attribute (file, "user.other"), "second");
    EXPECT_EQ (attribute (file, "user.quelt"), "(none)") << "what the file first measured had goes with it";
    EXPECT_EQ (numberOfFiles(), 1);
}

TEST_F (FileReplacing, AnotherUsersFileSwappedInDuringASaveIsLeftAloneAndLendsNothing)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the file swapped in is another user's";

    // Whoever may rename in a folder without the sticky bit swaps in a file
    // of theirs whose ACL lets them write.
    auto file = folder.getChildFile ("mine.quelt");
    auto theirs = folder.getChildFile ("theirs");

    if (! sharedFile (file))
        GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs and user attributes";

    ASSERT_TRUE (theirs.replaceWithText ("theirs"));
    ASSERT_EQ (::chown (pathOf (theirs).c_str(), stranger, strangers), 0);
    ASSERT_TRUE (setAcl (theirs, "u:" + juce::String (stranger) + ":rw,o::rw"));
    const auto planted = describe (theirs);

    {
        SystemCallWatch watch (pathOf (folder), pathOf (file));
        watch.before ("flistxattr", "target", [&] { ASSERT_EQ (::rename (pathOf (theirs).c_str(), pathOf (file).c_str()), 0); });
        EXPECT_FALSE (save (file, "new"));
    }

    EXPECT_EQ (file.loadFileAsString(), "theirs");
    EXPECT_EQ (describe (file), planted);
    EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
}

TEST_F (FileReplacing, AFileWrittenInPlaceKeepsItsOldContentsUntilTheNewAreOnDisk)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the file written in place is another user's";

    // Root, made unable to give the new file away, saves another's file as a
    // group member would: into the file itself.
    auto file = folder.getChildFile ("theirs.quelt");

    const auto theirs = [&] {
        EXPECT_TRUE (file.replaceWithText ("old"));
        EXPECT_EQ (::chown (pathOf (file).c_str(), stranger, strangers), 0);
        EXPECT_EQ (::chmod (pathOf (file).c_str(), 0660), 0);
        return statOf (file).st_ino;
    };

    const Fault faults[] {
        { "",          "",       0,      "no failure" },
        { "flock",     "target", ENOLCK, "no lock to take turns with another save" },
        { "fsync",     "new1",   EIO,    "the new contents are not on disk" },
        { "write",     "new2",   ENOSPC, "no room for a copy of the old contents" },
        { "fsync",     "new2",   EIO,    "the copy of the old contents is not on disk" },
        { "write",     "target", ENOSPC, "a full disk" },
        { "ftruncate", "target", EIO,    "the length" },
        { "fsync",     "target", EIO,    "the contents did not reach the disk" },
        { "close",     "target", EIO,    "a network file system reports a failed write at close" },
    };

    for (const auto& f : faults)
    {
        SCOPED_TRACE (f.why);
        const auto inode = theirs();
        const bool fails = f.error != 0;
        bool saved = ! fails;
        {
            SystemCallWatch watch (pathOf (folder), pathOf (file));
            watch.fail ("fchown", "new1", EPERM, -1);
            watch.fail (f.call, f.on, f.error);
            saved = save (file, "new");

            if (! fails)
            {
                EXPECT_EQ (durabilityCalls (watch.calls(), 8),
                           (std::vector<std::string> { "write new1", "fsync new1", "write new2", "fsync new2",
                                                       "write target", "ftruncate target", "fsync target", "close target" }));
            }
        }

        EXPECT_EQ (saved, ! fails);
        EXPECT_EQ (file.loadFileAsString(), fails ? "old" : "new");
        const auto info = statOf (file);
        EXPECT_EQ (info.st_ino, inode);
        EXPECT_EQ (info.st_uid, stranger);
        EXPECT_EQ (info.st_mode & 07777, 0660u);
        EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
    }
}

TEST_F (FileReplacing, AFileAReaderKeepsLockedIsNotWrittenInPlaceAndTheSaveEnds)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the file written in place is another user's";

    // Anyone who may read the file may hold a shared lock on it for as long
    // as they like; the save, on the message thread, must not wait for them.
    auto file = folder.getChildFile ("locked.quelt");
    ASSERT_TRUE (file.replaceWithText ("old"));
    ASSERT_EQ (::chown (pathOf (file).c_str(), stranger, strangers), 0);
    ASSERT_EQ (::chmod (pathOf (file).c_str(), 0660), 0);
    const auto reader = ::open (pathOf (file).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE (reader, 0);
    ASSERT_EQ (::flock (reader, LOCK_SH), 0);

    const auto saved = std::make_shared<std::atomic<int>> (-1);
    bool ended = false;
    {
        SystemCallWatch watch (pathOf (folder), pathOf (file));
        watch.fail ("fchown", "new1", EPERM, -1);
        ended = HangGuard::finishesWithin (120, [file, saved] { *saved = FileReplacer::replace (file, "new", 3) ? 1 : 0; });
    }

    // Lets a save that is still waiting go on, so that it ends before the folder goes.
    ::close (reader);
    ASSERT_TRUE (ended) << "the save waits for the reader's lock";
    EXPECT_EQ (saved->load(), 0);
    EXPECT_EQ (file.loadFileAsString(), "old");
    EXPECT_EQ (statOf (file).st_uid, stranger);
    EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
}

TEST_F (FileReplacing, OldContentsLeftBesideAFailedWriteInPlaceAreReadableAsTheFileWas)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the file written in place is another user's";

    // The write in place and the writing back of the old contents both fail:
    // the copy of the old contents that stays is the saver's, and must let
    // whoever could read the file read it, and no one else.
    ASSERT_EQ (::chmod (folder.getFullPathName().toRawUTF8(), 0755), 0);
    auto file = folder.getChildFile ("theirs.quelt");
    const struct { mode_t file, copy; bool ownerReads; } cases[] {
        { 0664, 0644, true },
        { 0620, 0600, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (::testing::Message() << std::oct << c.file);
        ASSERT_TRUE (file.replaceWithText ("old"));
        ASSERT_EQ (::chown (pathOf (file).c_str(), stranger, strangers), 0);
        ASSERT_EQ (::chmod (pathOf (file).c_str(), c.file), 0);
        {
            SystemCallWatch watch (pathOf (folder), pathOf (file));
            watch.fail ("fchown", "new1", EPERM, -1);
            watch.fail ("ftruncate", "target", EIO, -1);
            EXPECT_FALSE (save (file, "new"));
        }

        const auto kept = folder.findChildFiles (juce::File::findFiles, false, ".*");
        ASSERT_EQ (kept.size(), 1);
        EXPECT_EQ (kept[0].loadFileAsString(), "old");
        const auto info = statOf (kept[0]);
        EXPECT_EQ (info.st_gid, strangers);
        EXPECT_EQ (info.st_mode & 07777, c.copy);
        EXPECT_EQ (exitOf (inChild ([copy = kept[0]] { return copy.loadFileAsString() == "old"; }, stranger, strangers)),
                   c.ownerReads ? 0 : 1) << "the file's owner reads it through the group";
        ASSERT_TRUE (kept[0].deleteFile());
    }
}

#endif
