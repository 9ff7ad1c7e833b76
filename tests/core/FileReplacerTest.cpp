#include "core/FileReplacer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    // A user and a group no test machine has.
    constexpr uid_t stranger = 12345;
    constexpr gid_t strangers = 12346;

    struct stat statOf (const juce::File& file)
    {
        struct stat info {};
        EXPECT_EQ (::lstat (file.getFullPathName().toRawUTF8(), &info), 0) << file.getFullPathName();
        return info;
    }

    // What a command wrote, behind the mark "ok" when it exited with 0.
    juce::String outputOf (const juce::StringArray& command)
    {
        juce::ChildProcess process;

        if (! process.start (command, juce::ChildProcess::wantStdOut))
            return {};

        const auto text = process.readAllProcessOutput();
        return process.waitForProcessToFinish (-1) && process.getExitCode() == 0 ? "ok" + text : text;
    }
}

// What the mapping file, the settings file and the firmware download all get
// from a save; each test works in a folder of its own, gone afterwards.
class FileReplacing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("quelt-file-replacer-" + juce::Uuid().toString());
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }

    void TearDown() override { folder.deleteRecursively(); }

    static bool save (const juce::File& target, const char* text,
                      FileReplacer::LinkAtTarget links = FileReplacer::LinkAtTarget::followed)
    {
        return FileReplacer::replace (target, text, std::strlen (text), links);
    }

    static bool isLink (const juce::File& file)
    {
        struct stat info {};
        return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
    }

    void link (const juce::String& name, const juce::String& linkedPath)
    {
        ASSERT_EQ (::symlink (linkedPath.toRawUTF8(), folder.getChildFile (name).getFullPathName().toRawUTF8()), 0);
    }

    int numberOfFiles() const { return folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories); }

    juce::File folder;
};

TEST_F (FileReplacing, ASaveThroughAChainOfLinksChangesTheLinkedFileAndKeepsTheLinks)
{
    auto linked = folder.getChildFile ("mapping.quelt");
    ASSERT_TRUE (linked.replaceWithText ("old"));
    ASSERT_TRUE (folder.getChildFile ("sub").createDirectory().wasOk());

    // A relative link is read from its own folder: "sub/.." is the folder itself.
    link ("second.quelt", linked.getFullPathName());
    link ("first.quelt", "sub/../second.quelt");

    ASSERT_TRUE (save (folder.getChildFile ("first.quelt"), "new"));
    EXPECT_EQ (linked.loadFileAsString(), "new");
    EXPECT_TRUE (isLink (folder.getChildFile ("first.quelt")));
    EXPECT_TRUE (isLink (folder.getChildFile ("second.quelt")));
}

TEST_F (FileReplacing, ASaveThroughADanglingLinkCreatesTheFileItNames)
{
    link ("link.quelt", "missing.quelt");

    ASSERT_TRUE (save (folder.getChildFile ("link.quelt"), "new"));
    EXPECT_EQ (folder.getChildFile ("missing.quelt").loadFileAsString(), "new");
    EXPECT_TRUE (isLink (folder.getChildFile ("link.quelt")));
}

TEST_F (FileReplacing, AReplacedFileKeepsItsPermissionsOwnerAndGroup)
{
    // Only root may give a file to someone else, and get it back on a save;
    // owner and group are each put back when only one of them differs.
    const bool root = ::geteuid() == 0;
    const auto me = ::geteuid();
    const auto myGroup = ::getegid();

    const struct { mode_t mode; uid_t owner; gid_t group; bool needsRoot; } cases[] {
        { 0600, me,       myGroup,   false },
        { 0640, me,       myGroup,   false },
        { 0664, me,       myGroup,   false },
        { 0640, stranger, strangers, true },
        { 0640, stranger, myGroup,   true },
        { 0640, me,       strangers, true },
    };

    for (const auto& c : cases)
    {
        if (c.needsRoot && ! root)
            continue;

        SCOPED_TRACE (::testing::Message() << std::oct << c.mode << std::dec << " " << c.owner << ":" << c.group);
        auto file = folder.getChildFile ("kept.quelt");
        ASSERT_TRUE (file.replaceWithText ("old"));
        const auto path = file.getFullPathName().toRawUTF8();
        ASSERT_EQ (::chown (path, c.owner, c.group), 0);
        ASSERT_EQ (::chmod (path, c.mode), 0);

        ASSERT_TRUE (save (file, "new"));
        const auto info = statOf (file);
        EXPECT_EQ (info.st_mode & 07777, c.mode);
        EXPECT_EQ (info.st_uid, c.owner);
        EXPECT_EQ (info.st_gid, c.group);
        ASSERT_TRUE (file.deleteFile());
    }
}

TEST_F (FileReplacing, ANewFileGetsTheDefaultPermissionsUnderTheUsersUmask)
{
    // 002 (a group of one's own) tells 0666 from a fixed 0644.
    for (const mode_t mask : { 002u, 022u, 027u })
    {
        const auto previous = ::umask (mask);
        auto file = folder.getChildFile ("new-" + juce::String ((int) mask) + ".quelt");
        const bool saved = save (file, "new");
        ::umask (previous);

        ASSERT_TRUE (saved);
        EXPECT_EQ (statOf (file).st_mode & 07777, 0666 & (mode_t) ~mask) << "umask " << std::oct << mask;
    }
}

TEST_F (FileReplacing, AnAclIsKeptAndOneTheFolderWouldGiveIsNot)
{
    // A file whose ACL lets a stranger write and its group only read (the
    // mode's group bits, the ACL's mask, say read and write), and one without
    // an ACL in a folder whose default ACL would give the stranger a say over
    // every new file.
    auto withAcl = folder.getChildFile ("acl.quelt");
    auto sub = folder.getChildFile ("sub");
    auto withoutAcl = sub.getChildFile ("plain.quelt");
    ASSERT_TRUE (sub.createDirectory().wasOk());
    ASSERT_TRUE (withAcl.replaceWithText ("old") && withoutAcl.replaceWithText ("old"));
    ASSERT_EQ (::chmod (withoutAcl.getFullPathName().toRawUTF8(), 0640), 0);
    const auto grant = "u:" + juce::String (stranger) + ":rw";

    if (outputOf ({ "setfacl", "-m", grant + ",g::r,o::-", withAcl.getFullPathName() }) != "ok")
        GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs";

    ASSERT_EQ (outputOf ({ "setfacl", "-d", "-m", grant, sub.getFullPathName() }), "ok");

    for (const auto& file : { withAcl, withoutAcl })
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        const auto before = outputOf ({ "getfacl", "-p", file.getFullPathName() });
        ASSERT_TRUE (save (file, "new"));
        EXPECT_EQ (outputOf ({ "getfacl", "-p", file.getFullPathName() }), before);
        EXPECT_TRUE (before.contains ("\ngroup::r--\n")) << "the group that could only read still cannot write";
    }
}

TEST_F (FileReplacing, ALinkOrFileInAStickyFolderIsUsedOnlyWhenTheSaversOrTheFolderOwners)
{
    // /tmp's kind of folder: anyone may plant a link there, and the kernel
    // follows one only for its owner or the folder's.
    const bool root = ::geteuid() == 0;
    const auto me = ::geteuid();
    auto sticky = folder.getChildFile ("sticky");
    auto target = folder.getChildFile ("target.quelt");
    ASSERT_TRUE (sticky.createDirectory().wasOk());
    ASSERT_EQ (::chmod (sticky.getFullPathName().toRawUTF8(), 01777), 0);

    const struct { const char* name; uid_t linkOwner; uid_t folderOwner; bool inChain; bool followed; } cases[] {
        { "the saver's own link",                  me,       me,       false, true },
        { "another's link",                        stranger, me,       false, false },
        { "another's link further down a chain",   stranger, me,       true,  false },
        { "the folder owner's link",               stranger, stranger, false, true },
    };

    for (const auto& c : cases)
    {
        if ((c.linkOwner != me || c.folderOwner != me) && ! root)
            continue;

        SCOPED_TRACE (c.name);
        ASSERT_TRUE (target.replaceWithText ("old"));
        const auto planted = sticky.getChildFile ("link.quelt");
        const auto plantedPath = planted.getFullPathName().toRawUTF8();
        ASSERT_EQ (::symlink (target.getFullPathName().toRawUTF8(), plantedPath), 0);
        ASSERT_EQ (::lchown (plantedPath, c.linkOwner, (gid_t) -1), 0);
        ASSERT_EQ (::chown (sticky.getFullPathName().toRawUTF8(), c.folderOwner, (gid_t) -1), 0);
        link ("first.quelt", planted.getFullPathName());

        EXPECT_EQ (save (c.inChain ? folder.getChildFile ("first.quelt") : planted, "new"), c.followed);
        EXPECT_EQ (target.loadFileAsString(), juce::String (c.followed ? "new" : "old"));
        EXPECT_TRUE (isLink (planted));
        EXPECT_EQ (numberOfFiles(), 3) << "no temporary file left behind";
        ASSERT_TRUE (planted.deleteFile() && folder.getChildFile ("first.quelt").deleteFile());
    }

    // Nor is another's file there replaced: the new file would be given to
    // them, who could then change it (a downloaded image before its upload).
    if (root)
    {
        auto planted = sticky.getChildFile ("download.bin");
        ASSERT_TRUE (planted.replaceWithText ("planted"));
        ASSERT_EQ (::chown (planted.getFullPathName().toRawUTF8(), stranger, strangers), 0);
        ASSERT_EQ (::chmod (planted.getFullPathName().toRawUTF8(), 0666), 0);
        ASSERT_EQ (::chown (sticky.getFullPathName().toRawUTF8(), me, (gid_t) -1), 0);

        EXPECT_FALSE (save (planted, "new", FileReplacer::LinkAtTarget::replaced));
        EXPECT_EQ (planted.loadFileAsString(), "planted");
        EXPECT_EQ (statOf (planted).st_uid, stranger);
    }
}

TEST_F (FileReplacing, AFileTheProgramNamesReplacesALinkAtItsNameAndLeavesTheLinkedFileAlone)
{
    // The settings file and the download: a link there, even a dangling one,
    // is no way into another file.
    auto linked = folder.getChildFile ("linked");
    ASSERT_TRUE (linked.replaceWithText ("linked"));
    link ("settings.conf", linked.getFullPathName());
    link ("download.bin", folder.getChildFile ("planted").getFullPathName());

    for (const char* name : { "settings.conf", "download.bin" })
    {
        SCOPED_TRACE (name);
        auto target = folder.getChildFile (name);
        ASSERT_TRUE (save (target, "new", FileReplacer::LinkAtTarget::replaced));
        EXPECT_FALSE (isLink (target));
        EXPECT_EQ (target.loadFileAsString(), "new");
    }

    EXPECT_EQ (linked.loadFileAsString(), "linked");
    EXPECT_FALSE (folder.getChildFile ("planted").exists());
    EXPECT_EQ (numberOfFiles(), 3);
}

TEST_F (FileReplacing, ANameOfTheLongestLegalKindSaves)
{
    // 246 bytes: the temporary name must not pass the 255-byte limit.
    auto file = folder.getChildFile (juce::String::repeatedString ("n", 240) + ".quelt");
    ASSERT_EQ (file.getFileName().getNumBytesAsUTF8(), 246u);

    ASSERT_TRUE (save (file, "new"));
    EXPECT_EQ (file.loadFileAsString(), "new");
    EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
}

namespace
{
    // A limit on the size of the files the process writes, with the signal
    // that a write past it raises ignored (the write is cut short instead).
    struct ScopedFileSizeLimit
    {
        explicit ScopedFileSizeLimit (rlim_t bytes)
        {
            ::getrlimit (RLIMIT_FSIZE, &previous);
            auto limited = previous;
            limited.rlim_cur = bytes;
            ::setrlimit (RLIMIT_FSIZE, &limited);
        }

        ~ScopedFileSizeLimit()
        {
            ::setrlimit (RLIMIT_FSIZE, &previous);
            std::signal (SIGXFSZ, previousHandler);
        }

        rlimit previous {};
        void (*previousHandler) (int) = std::signal (SIGXFSZ, SIG_IGN);
    };
}

TEST_F (FileReplacing, AWriteCutShortByAFileSizeLimitFailsAndKeepsThePreviousFile)
{
    // Five of the ten bytes reach the new file; the save must not pass it off
    // as the whole.
    auto file = folder.getChildFile ("previous.quelt");
    ASSERT_TRUE (file.replaceWithText ("previous contents"));

    bool saved = true;
    {
        const ScopedFileSizeLimit fiveBytes (5);
        saved = save (file, "0123456789");
    }

    EXPECT_FALSE (saved);
    EXPECT_EQ (file.loadFileAsString(), "previous contents");
    EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
}
