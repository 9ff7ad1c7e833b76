#pragma once

// The save tests' fixture and what they look at: a file's mode, owner,
// ACL and attributes, and saves made by other processes and users.

#include "core/FileReplacer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace FileReplacingHelpers
{
    // A user and a group no test machine has.
    constexpr uid_t stranger = 12345;
    constexpr gid_t strangers = 12346;

    // The ACL entry of a user named in it: the tester's own id, the one a
    // user namespace (ctest as a normal user) surely maps.
    inline juce::String namedUser()
    {
        return "user:" + juce::String (::geteuid());
    }

    inline struct stat statOf (const juce::File& file)
    {
        struct stat info {};
        EXPECT_EQ (::lstat (file.getFullPathName().toRawUTF8(), &info), 0) << file.getFullPathName();
        return info;
    }

    // What a command wrote, behind the mark "ok" when it exited with 0.
    inline juce::String outputOf (const juce::StringArray& command)
    {
        juce::ChildProcess process;

        if (! process.start (command, juce::ChildProcess::wantStdOut))
            return {};

        const auto text = process.readAllProcessOutput();
        return process.waitForProcessToFinish (-1) && process.getExitCode() == 0 ? "ok" + text : text;
    }

    inline bool setAcl (const juce::File& file, const juce::String& entries)
    {
        return outputOf ({ "setfacl", "-m", entries, file.getFullPathName() }) == "ok";
    }

    inline bool setAttribute (const juce::File& file, const char* name, const char* value)
    {
        return ::setxattr (file.getFullPathName().toRawUTF8(), name, value, std::strlen (value), 0) == 0;
    }

    inline juce::String attribute (const juce::File& file, const char* name)
    {
        char value[64] {};
        return ::getxattr (file.getFullPathName().toRawUTF8(), name, value, sizeof (value) - 1) >= 0 ? value : "(none)";
    }

    // All a save must keep: mode, owner, group, ACL and one user attribute.
    inline juce::String describe (const juce::File& file, const char* attributeName = "user.quelt")
    {
        const auto info = statOf (file);
        char mode[8] {};
        std::snprintf (mode, sizeof (mode), "%04o", (unsigned) (info.st_mode & 07777));
        return juce::String (mode) + " " + juce::String (info.st_uid)
             + ":" + juce::String (info.st_gid) + "\n" + outputOf ({ "getfacl", "-n", "--omit-header", file.getFullPathName() })
             + attributeName + "=" + attribute (file, attributeName);
    }

    // Runs `work` in a child process (as user `uid` of group `gid` alone when
    // given), which exits 0 when it returned true, 1 when not and 2 when it
    // could not become that user.
    inline pid_t inChild (const std::function<bool()>& work, uid_t uid = (uid_t) -1, gid_t gid = (gid_t) -1)
    {
        const auto child = ::fork();

        if (child == 0)
        {
            if (uid != (uid_t) -1 && (::setgroups (1, &gid) != 0 || ::setgid (gid) != 0 || ::setuid (uid) != 0))
                ::_exit (2);

            ::_exit (work() ? 0 : 1);
        }

        return child;
    }

    inline int exitOf (pid_t child)
    {
        int status = 0;
        return child > 0 && ::waitpid (child, &status, 0) == child && WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    }
}

using namespace FileReplacingHelpers;

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

    // Whether this process may give files to other users (root, outside a
    // user namespace): the cases of others' files and links need it.
    bool mayGiveFilesAway() const
    {
        auto probe = folder.getChildFile ("probe");
        const bool given = probe.replaceWithText ("probe")
                        && ::chown (probe.getFullPathName().toRawUTF8(), stranger, strangers) == 0;
        probe.deleteFile();
        return given;
    }

    // A file of the tester's, 0640 "old", with an ACL that lets a named user
    // read and a user attribute; false when the file system keeps neither.
    bool sharedFile (const juce::File& file)
    {
        return file.replaceWithText ("old") && ::chmod (file.getFullPathName().toRawUTF8(), 0640) == 0
            && setAcl (file, namedUser() + ":r") && setAttribute (file, "user.quelt", "kept");
    }

    juce::File folder;
};

