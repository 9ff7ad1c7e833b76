#include "core/FileReplacer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

    static bool save (const juce::File& target, const char* text)
    {
        return FileReplacer::replace (target, text, std::strlen (text));
    }

    static bool isLink (const juce::File& file)
    {
        struct stat info {};
        return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
    }

    void link (const char* name, const juce::String& linkedPath)
    {
        ASSERT_EQ (::symlink (linkedPath.toRawUTF8(), folder.getChildFile (name).getFullPathName().toRawUTF8()), 0);
    }

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

TEST_F (FileReplacing, APrivateFileStaysPrivateAndKeepsItsOwner)
{
    auto file = folder.getChildFile ("private.quelt");
    ASSERT_TRUE (file.replaceWithText ("old"));
    const auto path = file.getFullPathName().toRawUTF8();
    ASSERT_EQ (::chmod (path, 0600), 0);

    // Only root may give a file to someone else, and get it back on a save.
    const bool root = ::geteuid() == 0;

    if (root)
    {
        ASSERT_EQ (::chown (path, 4321, 4322), 0);
    }

    ASSERT_TRUE (save (file, "new"));
    struct stat info {};
    ASSERT_EQ (::stat (path, &info), 0);
    EXPECT_EQ (info.st_mode & 07777, 0600u);

    if (root)
    {
        EXPECT_EQ (info.st_uid, 4321u);
        EXPECT_EQ (info.st_gid, 4322u);
    }
}

TEST_F (FileReplacing, ANameOfTheLongestLegalKindSaves)
{
    // 246 bytes: the temporary name must not pass the 255-byte limit.
    auto file = folder.getChildFile (juce::String::repeatedString ("n", 240) + ".quelt");
    ASSERT_EQ (file.getFileName().getNumBytesAsUTF8(), 246u);

    ASSERT_TRUE (save (file, "new"));
    EXPECT_EQ (file.loadFileAsString(), "new");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1)
        << "no temporary file left behind";
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
}
