#include "tests/core/TrvPlusFixture.h"

#include "core/Settings.h"
#include "tests/support/ScopedFullVolume.h"

#include <sys/stat.h>
#include <unistd.h>

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());
}

using TrvPlusSingleton = TrvPlusFixture;

TEST_F (TrvPlusSingleton, StartsWithTheFiveFactoryMapsAndMackieCurrent)
{
    EXPECT_EQ (trv->getCurrentCtMode().getValue(), CtMode::mackie);
    EXPECT_EQ (trv->getCurrPtcl(), 0);

    for (int m = 0; m < 5; ++m)
    {
        auto map = liveMap (*trv, m);
        EXPECT_EQ (map.getProperty (Tags::mode).toString(), CtMode::slugForType (m));
        EXPECT_TRUE (map.isEquivalentTo (CtMap (CtMode (m)).getTree())) << "mode " << m;
    }

    EXPECT_EQ (trv->getCurrentMap().getTree().getProperty (Tags::mode).toString(), "mackie");
}

TEST_F (TrvPlusSingleton, ModeChangesLeaveTheProtocolAloneUntilItIsRecomputed)
{
    g_LasPtcl4Usdf = 0;
    liveMap (*trv, CtMode::usrdefHui).setProperty (Tags::ptcl, 0, nullptr);

    trv->setCtMode (CtMode (CtMode::usrdefHui));
    EXPECT_EQ (trv->getCurrPtcl(), 0);
    EXPECT_EQ (g_LasPtcl4Usdf, 0);

    trv->setPtcl (0);       // the argument is not what decides
    EXPECT_EQ (trv->getCurrPtcl(), 1);
    EXPECT_EQ (g_LasPtcl4Usdf, 1);

    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    trv->setPtcl (1);
    EXPECT_EQ (trv->getCurrPtcl(), 0);
    EXPECT_EQ (g_LasPtcl4Usdf, 0);

    g_LasPtcl4Usdf = 1;
    trv->setCtMode (CtMode (CtMode::proTools));
    trv->setPtcl (0);
    EXPECT_EQ (trv->getCurrPtcl(), 1);
    EXPECT_EQ (g_LasPtcl4Usdf, 1) << "only the user-defined modes set it";

    trv->setCtMode (CtMode (CtMode::logic));
    trv->setPtcl (1);
    EXPECT_EQ (trv->getCurrPtcl(), 0);
    EXPECT_EQ (g_LasPtcl4Usdf, 1);
}

TEST_F (TrvPlusSingleton, EveryModeChangeRewritesTheCurrentSlug)
{
    for (int m : { 4, 2, 0, 3, 1 })
    {
        trv->setCtMode (CtMode (m));
        EXPECT_EQ (trv->getCurrentCtMode().getValue(), m);
        EXPECT_EQ (trv->getCurrentMap().getTree().getParent().getProperty (Tags::curr).toString(),
                   CtMode::slugForType (m));
    }
}

TEST_F (TrvPlusSingleton, CurrentMapsShareTheLiveTree)
{
    auto a = trv->getCurrentMap();
    auto b = trv->getCurrentMap();

    a.getControlById (12).setProperty (Tags::value, 99, nullptr);
    EXPECT_EQ ((int) b.getControlById (12).getProperty (Tags::value), 99);
    EXPECT_EQ (a.getTree(), b.getTree());
}

// Destroys the singleton: whatever runs after this in the same process skips.
TEST_F (TrvPlusSingleton, WritesTheModesTreeToTheSettingsFileWhenDestroyedAndIsNotRecreated)
{
    const auto file = Settings::options().getDefaultFile();
    ASSERT_TRUE (file.getFullPathName().endsWith ("ZorvProAudio/Trv/Trv.conf")) << file.getFullPathName();

    // A file left by an earlier run is never read: the maps started from factory.
    EXPECT_TRUE (liveMap (*trv, CtMode::logic).isEquivalentTo (CtMap (CtMode (CtMode::logic)).getTree()));

    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    trv->getCurrentMap().getControlById (7).setProperty (Tags::chan, 5, nullptr);

    juce::ValueTree expected (Tags::modes);
    expected.setProperty (Tags::curr, "usrdef-mcp", nullptr);
    for (int m = 0; m < 5; ++m)
        expected.appendChild (liveMap (*trv, m).createCopy(), nullptr);

    // The settings folder is every user's: a link put there in the file's
    // name must not lead the save to a file of the user's own.
    const auto someonesFile = file.getSiblingFile ("someone else's file");
    ASSERT_TRUE (file.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (someonesFile.replaceWithText ("theirs"));
    (void) file.deleteFile();
    ASSERT_TRUE (someonesFile.createSymbolicLink (file, true));

    TrvPlus::deleteInstance();
    EXPECT_EQ (TrvPlus::getInstance(), nullptr);

    EXPECT_FALSE (file.isSymbolicLink());
    EXPECT_EQ (someonesFile.loadFileAsString(), "theirs");
    (void) someonesFile.deleteFile();
    ASSERT_TRUE (file.existsAsFile());
    juce::FileInputStream in (file);
    EXPECT_EQ (in.readInt(), (int) juce::ByteOrder::makeInt ('C', 'P', 'R', 'P')) << "compressed binary form";

    juce::PropertiesFile props (file, Settings::options());
    EXPECT_EQ (props.getAllProperties().getAllKeys(), juce::StringArray ("modes"));

    auto stored = props.getXmlValue ("modes");
    ASSERT_NE (stored, nullptr);
    EXPECT_TRUE (juce::ValueTree::fromXml (*stored).isEquivalentTo (expected));
}

// Destroys the singleton: whatever runs after this in the same process skips.
TEST_F (TrvPlusSingleton, ASettingsFileThatCannotBeWrittenWholeKeepsThePreviousOne)
{
    auto options = Settings::options();
    const auto common = options.getDefaultFile();
    options.commonToAllUsers = false;
    const auto user = options.getDefaultFile();
    ASSERT_TRUE (common.getFullPathName().startsWith ("/var/")) << "needs the small /var of with-private-var.sh";

    ASSERT_TRUE (common.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (common.replaceWithText ("previous settings"));

    // Maps whose file cannot fit in the room left: long names that do not
    // compress away.
    juce::Random rng (5);
    juce::ValueTree expected (Tags::modes);
    expected.setProperty (Tags::curr, "mackie", nullptr);

    for (int m = 0; m < 5; ++m)
    {
        juce::MemoryBlock noise (4096);
        rng.fillBitsRandomly (noise.getData(), noise.getSize());
        auto map = liveMap (*trv, m);
        map.setProperty (Tags::name, juce::String::toHexString (noise.getData(), (int) noise.getSize(), 0), nullptr);
        expected.appendChild (map.createCopy(), nullptr);
    }

    {
        const ScopedFullVolume full (common.getParentDirectory(), 4096);
        ASSERT_TRUE (full.isFull());
        const auto folderBefore = common.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles);

        TrvPlus::deleteInstance();

        EXPECT_EQ (common.loadFileAsString(), "previous settings");
        EXPECT_EQ (common.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles), folderBefore)
            << "no temporary file left behind";
    }

    // The user's file, the fallback, took the maps instead.
    juce::PropertiesFile props (user, Settings::options());
    auto stored = props.getXmlValue ("modes");
    ASSERT_NE (stored, nullptr);
    EXPECT_TRUE (juce::ValueTree::fromXml (*stored).isEquivalentTo (expected));
}

TEST (SettingsFile, AFolderLinkAnotherUserPlantedInAStickySettingsFolderIsNotFollowed)
{
    if (juce::SystemStats::getEnvironmentVariable ("QUELT_READONLY_DIR", {}).isEmpty())
        GTEST_SKIP() << "run through tests/support/with-private-var.sh (ctest does): it changes /var";

    auto options = Settings::options();
    const auto common = options.getDefaultFile();
    options.commonToAllUsers = false;
    const auto user = options.getDefaultFile();

    // /var/ZorvProAudio made every user's, in which another user put their
    // own folder under the name "Trv": the common file would be theirs.
    const auto shared = common.getParentDirectory().getParentDirectory();
    const auto theirs = juce::File ("/var/quelt-someone-elses-folder");
    ASSERT_TRUE (shared.createDirectory().wasOk() && theirs.createDirectory().wasOk());
    ASSERT_EQ (::chmod (shared.getFullPathName().toRawUTF8(), 01777), 0);
    (void) common.getParentDirectory().deleteRecursively();
    ASSERT_TRUE (theirs.createSymbolicLink (common.getParentDirectory(), true));

    if (::lchown (common.getParentDirectory().getFullPathName().toRawUTF8(), 12345, 12345) != 0)
        GTEST_SKIP() << "needs root: the link planted is another user's";

    Settings settings;
    EXPECT_TRUE (settings.writeModes (juce::XmlElement ("modes")));
    EXPECT_EQ (theirs.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_TRUE (user.existsAsFile()) << "the user's own file took the settings";
    (void) shared.deleteRecursively();
    (void) theirs.deleteRecursively();
}
