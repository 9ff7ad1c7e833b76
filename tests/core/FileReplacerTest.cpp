#include "tests/core/FileReplacing.h"

#include <csignal>
#include <sys/resource.h>

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

TEST_F (FileReplacing, AReplacedFileOfTheSaversKeepsItsPermissions)
{
    for (const mode_t mode : { 0600u, 0640u, 0664u })
    {
        SCOPED_TRACE (::testing::Message() << std::oct << mode);
        auto file = folder.getChildFile ("kept.quelt");
        ASSERT_TRUE (file.replaceWithText ("old"));
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), mode), 0);

        ASSERT_TRUE (save (file, "new"));
        const auto info = statOf (file);
        EXPECT_EQ (info.st_mode & 07777, mode);
        EXPECT_EQ (info.st_uid, ::geteuid());
        EXPECT_EQ (info.st_gid, ::getegid());
    }
}

TEST_F (FileReplacing, RootsSaveOfAnotherUsersFileKeepsItsOwnerAndGroup)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: only root may give a file to another user";

    // Owner and group are each put back when only one of them differs.
    const struct { uid_t owner; gid_t group; } cases[] {
        { stranger, strangers }, { stranger, ::getegid() }, { ::geteuid(), strangers },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (::testing::Message() << c.owner << ":" << c.group);
        auto file = folder.getChildFile ("kept.quelt");
        ASSERT_TRUE (file.replaceWithText ("old"));
        ASSERT_EQ (::chown (file.getFullPathName().toRawUTF8(), c.owner, c.group), 0);
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), 0640), 0);

        ASSERT_TRUE (save (file, "new"));
        const auto info = statOf (file);
        EXPECT_EQ (info.st_mode & 07777, 0640u);
        EXPECT_EQ (info.st_uid, c.owner);
        EXPECT_EQ (info.st_gid, c.group);
    }
}

TEST_F (FileReplacing, AGroupMembersSaveOfAnotherUsersFileLeavesItItsOwners)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the savers are users 4321 and 4322 of group 4400";

    // Each of two members of a group saves both their own file and the
    // other's in their shared folder: a user cannot give a new file away.
    constexpr gid_t team = 4400;
    auto shared = folder.getChildFile ("shared");
    ASSERT_TRUE (shared.createDirectory().wasOk());
    ASSERT_EQ (::chmod (folder.getFullPathName().toRawUTF8(), 0755), 0);
    ASSERT_EQ (::chown (shared.getFullPathName().toRawUTF8(), 0, team), 0);
    ASSERT_EQ (::chmod (shared.getFullPathName().toRawUTF8(), 0770), 0);

    for (const uid_t owner : { 4321u, 4322u })
    {
        auto file = shared.getChildFile (juce::String (owner) + ".quelt");
        ASSERT_TRUE (file.replaceWithText ("old"));
        ASSERT_EQ (::chown (file.getFullPathName().toRawUTF8(), owner, team), 0);
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), 0660), 0);
    }

    for (const uid_t saver : { 4322u, 4321u })
    {
        for (const uid_t owner : { 4321u, 4322u })
        {
            SCOPED_TRACE (::testing::Message() << saver << " saves the file of " << owner);
            const auto file = shared.getChildFile (juce::String (owner) + ".quelt");
            const auto text = "by " + std::to_string (saver);

            EXPECT_EQ (exitOf (inChild ([&] { return save (file, text.c_str()); }, saver, team)), 0);
            const auto info = statOf (file);
            EXPECT_EQ (info.st_uid, owner);
            EXPECT_EQ (info.st_gid, team);
            EXPECT_EQ (info.st_mode & 07777, 0660u);
            EXPECT_EQ (file.loadFileAsString(), juce::String (text));
            EXPECT_EQ (shared.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 2) << "nothing left beside";
        }
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

TEST_F (FileReplacing, AnAclAndAttributesAreKeptAndAnAclTheFolderWouldGiveIsNot)
{
    // A file whose ACL lets a named user write and its group only read (the
    // mode's group bits, the ACL's mask, say read and write), and one without
    // an ACL in a folder whose default ACL would give that user a say over
    // every new file.
    auto withAcl = folder.getChildFile ("acl.quelt");
    auto sub = folder.getChildFile ("sub");
    auto withoutAcl = sub.getChildFile ("plain.quelt");
    ASSERT_TRUE (sub.createDirectory().wasOk());
    ASSERT_TRUE (withAcl.replaceWithText ("old") && withoutAcl.replaceWithText ("old"));
    ASSERT_EQ (::chmod (withoutAcl.getFullPathName().toRawUTF8(), 0640), 0);
    const auto grant = namedUser() + ":rw";

    if (! setAcl (withAcl, grant + ",g::r,o::-") || ! setAttribute (withAcl, "user.quelt", "kept"))
        GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs and user attributes";

    ASSERT_EQ (outputOf ({ "setfacl", "-d", "-m", grant, sub.getFullPathName() }), "ok");

    for (const auto& file : { withAcl, withoutAcl })
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        const auto before = describe (file);
        ASSERT_TRUE (save (file, "new"));
        EXPECT_EQ (describe (file), before);
    }

    EXPECT_TRUE (describe (withAcl).contains ("\ngroup::r--\n")) << "the group that could only read still cannot write";
}

TEST_F (FileReplacing, TwoProcessesSavingOneFileAtOnceKeepItsModeAclAndAttribute)
{
    // Each save measures the file while the other renames its own new file
    // over it; neither may take that for a file without permissions.
    auto file = folder.getChildFile ("shared.quelt");

    if (! sharedFile (file))
        GTEST_SKIP() << "needs setfacl (package acl) and a file system that keeps ACLs and user attributes";

    const auto before = describe (file);
    constexpr int savesEach = 300;
    std::vector<pid_t> savers;

    for (const char* text : { "first", "second" })
        savers.push_back (inChild ([&] {
            for (int i = 0; i < savesEach; ++i)
                if (! save (file, text))
                    return false;

            return true;
        }));

    for (const auto saver : savers)
        EXPECT_EQ (exitOf (saver), 0) << "every save succeeded";

    EXPECT_EQ (describe (file), before);
    EXPECT_EQ (numberOfFiles(), 1) << "no temporary file left behind";
}

TEST_F (FileReplacing, TheSaversOwnLinksInAStickyFolderAreFollowed)
{
    auto sticky = folder.getChildFile ("sticky");
    auto inner = folder.getChildFile ("inner");
    ASSERT_TRUE (sticky.createDirectory().wasOk() && inner.createDirectory().wasOk());
    ASSERT_EQ (::chmod (sticky.getFullPathName().toRawUTF8(), 01777), 0);
    auto target = inner.getChildFile ("target.quelt");
    ASSERT_TRUE (target.replaceWithText ("old"));
    ASSERT_EQ (::symlink (target.getFullPathName().toRawUTF8(), sticky.getChildFile ("file").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (::symlink (inner.getFullPathName().toRawUTF8(), sticky.getChildFile ("folder").getFullPathName().toRawUTF8()), 0);

    ASSERT_TRUE (save (sticky.getChildFile ("file"), "through a file link"));
    EXPECT_EQ (target.loadFileAsString(), "through a file link");
    ASSERT_TRUE (save (sticky.getChildFile ("folder/target.quelt"), "through a folder link"));
    EXPECT_EQ (target.loadFileAsString(), "through a folder link");
}

TEST_F (FileReplacing, AnotherUsersLinkOrFileInAStickyFolderIsUsedOnlyWhenTheFolderOwners)
{
    if (! mayGiveFilesAway())
        GTEST_SKIP() << "needs root: the links and files planted are another user's";

    // /tmp's kind of folder: anyone may plant a link there, and the kernel
    // follows one only for its owner or the folder's; a link to a folder is
    // as much a way to the user's files as a link to a file.
    const auto me = ::geteuid();
    auto sticky = folder.getChildFile ("sticky");
    auto inner = folder.getChildFile ("inner");
    auto target = inner.getChildFile ("target.quelt");
    ASSERT_TRUE (sticky.createDirectory().wasOk() && inner.createDirectory().wasOk());
    ASSERT_EQ (::chmod (sticky.getFullPathName().toRawUTF8(), 01777), 0);
    const auto planted = sticky.getChildFile ("planted");
    enum Way { linkToFile, linkToFolder, chainToLinkToFolder };

    const struct { const char* name; uid_t folderOwner; Way way; FileReplacer::LinkAtTarget links; bool followed; } cases[] {
        { "another's link",                     me,       linkToFile,          FileReplacer::LinkAtTarget::followed, false },
        { "another's link to a folder",         me,       linkToFolder,        FileReplacer::LinkAtTarget::followed, false },
        { "another's folder link, a named file", me,      linkToFolder,        FileReplacer::LinkAtTarget::replaced, false },
        { "another's folder link down a chain", me,       chainToLinkToFolder, FileReplacer::LinkAtTarget::followed, false },
        { "the folder owner's link",            stranger, linkToFile,          FileReplacer::LinkAtTarget::followed, true },
        { "the folder owner's folder link",     stranger, linkToFolder,        FileReplacer::LinkAtTarget::followed, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ASSERT_TRUE (target.replaceWithText ("old"));
        const auto linked = c.way == linkToFile ? target : inner;
        ASSERT_EQ (::symlink (linked.getFullPathName().toRawUTF8(), planted.getFullPathName().toRawUTF8()), 0);
        ASSERT_EQ (::lchown (planted.getFullPathName().toRawUTF8(), stranger, (gid_t) -1), 0);
        ASSERT_EQ (::chown (sticky.getFullPathName().toRawUTF8(), c.folderOwner, (gid_t) -1), 0);
        link ("chain", planted.getFullPathName());

        const auto saved = c.way == linkToFile ? planted
                         : c.way == linkToFolder ? planted.getChildFile ("target.quelt")
                                                 : folder.getChildFile ("chain/target.quelt");

        EXPECT_EQ (save (saved, "new", c.links), c.followed);
        EXPECT_EQ (target.loadFileAsString(), juce::String (c.followed ? "new" : "old"));
        EXPECT_TRUE (isLink (planted));
        EXPECT_EQ (inner.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "no temporary file left behind";
        ASSERT_TRUE (planted.deleteFile() && folder.getChildFile ("chain").deleteFile());
    }

    // Nor is another's file there replaced: the new file would be given to
    // them, who could then change it (a downloaded image before its upload).
    ASSERT_TRUE (planted.replaceWithText ("planted"));
    ASSERT_EQ (::chown (planted.getFullPathName().toRawUTF8(), stranger, strangers), 0);
    ASSERT_EQ (::chmod (planted.getFullPathName().toRawUTF8(), 0666), 0);
    ASSERT_EQ (::chown (sticky.getFullPathName().toRawUTF8(), me, (gid_t) -1), 0);

    EXPECT_FALSE (save (planted, "new", FileReplacer::LinkAtTarget::replaced));
    EXPECT_EQ (planted.loadFileAsString(), "planted");
    EXPECT_EQ (statOf (planted).st_uid, stranger);
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
