#include "tests/core/TrvPlusFixture.h"

#include "core/FactoryTables.h"
#include "core/RecordRow.h"
#include "tests/support/HangGuard.h"
#include "tests/support/ScopedFullVolume.h"

#if JUCE_LINUX || JUCE_MAC
 #include <sys/stat.h>
#endif

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // A usrdef-mcp file holding the factory map with some controls changed or
    // left out.
    juce::File usrdefMcpFile (const juce::File& folder,
                              std::function<void (juce::ValueTree& controls)> edit)
    {
        auto tree = CtMap (CtMode (CtMode::usrdefMcp)).getTree();
        auto controls = tree.getChildWithName (Tags::controls);
        edit (controls);
        auto file = folder.getChildFile ("edited.quelt");
        tree.createXml()->writeTo (file);
        return file;
    }

    // Sets properties of the control `id`, e.g. { { Tags::type, "cc" }, { Tags::chan, 3 } }.
    void setProperties (juce::ValueTree& controls, int id,
                        std::initializer_list<std::pair<juce::Identifier, juce::var>> properties)
    {
        auto control = controls.getChildWithProperty (Tags::cid, id);

        for (const auto& [name, value] : properties)
            control.setProperty (name, value, nullptr);
    }

    struct ModelSnapshot
    {
        explicit ModelSnapshot (TrvPlus& t) : mode (t.getCurrentCtMode().getValue())
        {
            for (int m = 0; m < 5; ++m)
                maps.add (TrvPlusFixture::liveMap (t, m).toXmlString());
        }

        bool operator== (const ModelSnapshot& o) const
        {
            return mode == o.mode && maps == o.maps && mirrors == o.mirrors;
        }

        int mode;
        juce::StringArray maps;
        MirrorSnapshot mirrors;
    };
}

// Each test writes its files into a folder of its own, gone afterwards
// (tests run in parallel processes).
class MappingFiles : public TrvPlusFixture
{
protected:
    void TearDown() override
    {
        if (folderInUse != juce::File())
            folderInUse.deleteRecursively();
    }

    juce::File testFolder()
    {
        // A unique name: parallel processes race between "does it exist" and "create".
        folderInUse = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("quelt-mapping-files-" + juce::Uuid().toString());
        folderInUse.createDirectory();
        return folderInUse;
    }

    juce::File folderInUse;
};

TEST_F (MappingFiles, EveryFactoryMapSurvivesASaveAndLoadPropertyByProperty)
{
    auto folder = testFolder();

    for (int m = 0; m < 5; ++m)
    {
        trv->setCtMode (CtMode (m));
        const auto before = trv->getCurrentMap().getTree().createCopy();
        auto file = folder.getChildFile (CtMode::slugForType (m) + ".quelt");

        ASSERT_TRUE (trv->saveCurrentMapping (file).wasOk());

        // The fuzzer's seeds are these files as saved.
        juce::MemoryBlock saved, seed;
        file.loadFileAsData (saved);
        juce::File (QUELT_SOURCE_DIR "/tests/fuzz/corpus").getChildFile (file.getFileName()).loadFileAsData (seed);
        EXPECT_TRUE (saved == seed) << "tests/fuzz/corpus/" << file.getFileName() << " is not what the program saves";

        trv->setCtMode (CtMode (CtMode::mackie));
        ASSERT_TRUE (trv->openFile (file).wasOk());

        EXPECT_EQ (trv->getCurrentCtMode().getValue(), m);
        const auto after = trv->getCurrentMap().getTree();
        EXPECT_EQ (after.getParent().indexOf (after), m) << "the loaded map takes the place of the old one";
        EXPECT_TRUE (after.isEquivalentTo (before)) << CtMode::slugForType (m);
    }
}

TEST_F (MappingFiles, AnEditedMapComesBackAndTheFileHasItsDocumentedForm)
{
    auto folder = testFolder();
    trv->setCtMode (CtMode (CtMode::usrdefHui));
    auto map = trv->getCurrentMap();
    map.getControlById (3).setProperty (Tags::v1, 11, nullptr);
    map.getControlById (78).setProperty (Tags::value, 12, nullptr);
    const auto before = map.getTree().createCopy();

    auto file = folder.getChildFile ("hui.quelt");
    ASSERT_TRUE (trv->saveCurrentMapping (file).wasOk());

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE (text.contains ("<map mode=\"usrdef-hui\" name=\"User Define\" protocol=\"1\">"));
    EXPECT_TRUE (text.contains ("<control id=\"3\" kind=\"button\" type=\"cc\" chan=\"1\" value=\"90\" value1=\"11\"")) << text.substring (0, 400);
    EXPECT_TRUE (text.contains ("value2=\"71\" velo=\"127\"/>")) << "integers in decimal";

    trv->setCtMode (CtMode (CtMode::mackie));
    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_TRUE (trv->getCurrentMap().getTree().isEquivalentTo (before));
}

TEST_F (MappingFiles, LoadingAUsrdefMcpMapRefreshesItsRecordTable)
{
    auto folder = testFolder();
    auto file = usrdefMcpFile (folder, [] (juce::ValueTree& controls)
    {
        setProperties (controls, 65, { { Tags::type, "cc" }, { Tags::chan, 3 }, { Tags::value, 16 }, { Tags::velo, 64 } });
        setProperties (controls, 66, { { Tags::type, "cc" }, { Tags::value, 30 }, { Tags::velo, 5 } });
        setProperties (controls, 41, { { Tags::type, "null" }, { Tags::chan, 1 } });
        setProperties (controls, 2, { { Tags::value, 300 } });      // keeps its low 8 bits
        controls.removeChild (controls.getChildWithProperty (Tags::cid, 5), nullptr);
    });

    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_EQ (trv->getCurrentCtMode().getValue(), CtMode::usrdefMcp);

    auto row = [] (int r) { return std::vector<int> { nd[r][0], nd[r][1], nd[r][2], nd[r][3] }; };

    EXPECT_EQ (row (71), (std::vector<int> { 0x0B, 0xB2, 0x10, 0x40 }));
    EXPECT_EQ (knobVelos[0][0], 64);
    EXPECT_EQ (row (72), (std::vector<int> { 0x0B, 0xB0, 30, 5 }));
    EXPECT_EQ (knobVelos[1][1], 5) << "a controller outside 16..23 and 60 takes the second byte";
    EXPECT_EQ (row (29), (std::vector<int> { 0x09, 0x90, 0x04, 0x7F })) << "a missing control comes back with its factory record";
    EXPECT_EQ (nd[81][0], 0);
    EXPECT_EQ (nd[81][1], 0x00);
    EXPECT_EQ (nd[26][2], 300 & 0xFF);
}

TEST_F (MappingFiles, JogHalvesRefreshTheRowsOfTheCurrentJogState)
{
    auto folder = testFolder();
    auto file = usrdefMcpFile (folder, [] (juce::ValueTree& controls)
    {
        setProperties (controls, 73, { { Tags::type, "cc" }, { Tags::value, 60 }, { Tags::velo, 73 } });
        setProperties (controls, 74, { { Tags::type, "cc" }, { Tags::value, 61 }, { Tags::velo, 74 } });
    });

    // In jog state 0 the halves have rows of their own.
    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_EQ (nd[80][2], 60);
    EXPECT_EQ (nd[79][2], 61);
    EXPECT_EQ (knobVelos[8][0], 73);
    EXPECT_EQ (knobVelos[8][1], 74);

    // In the cursor states they share the rows of the cursor targets, which
    // come later in id order and so keep their own records; the rotation
    // bytes are left alone.
    const int targetRows[3][2] = { {}, { 69, 70 }, { 67, 68 } };

    for (int state = 1; state < 3; ++state)
    {
        SetUp();
        isZoomNorLR = state;
        knobVelos[8][0] = knobVelos[8][1] = 0;

        ASSERT_TRUE (trv->openFile (file).wasOk());
        EXPECT_EQ (nd[targetRows[state][0]][2], cbBnAttrs0[targetRows[state][0]][2]) << "state " << state;
        EXPECT_EQ (nd[80][2], 60) << "the jog rows keep what state 0 left";
        EXPECT_EQ (knobVelos[8][0], 0) << "state " << state;
        EXPECT_EQ (knobVelos[8][1], 0) << "state " << state;
    }
}

TEST_F (MappingFiles, OtherModesLoadWithoutTouchingAnyRecordTableAndKeepTheirProtocol)
{
    auto folder = testFolder();
    auto tree = CtMap (CtMode (CtMode::logic)).getTree();
    tree.setProperty (Tags::ptcl, 1, nullptr);
    tree.getChildWithName (Tags::controls).getChild (0).setProperty (Tags::value, 77, nullptr);
    auto file = folder.getChildFile ("logic.quelt");
    tree.createXml()->writeTo (file);

    const MirrorSnapshot before;
    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_TRUE (MirrorSnapshot() == before);
    EXPECT_EQ (trv->getCurrPtcl(), 1);
}

TEST_F (MappingFiles, ASlugWithBlanksLoadsUnderItsNormalisedMode)
{
    auto folder = testFolder();
    auto tree = CtMap (CtMode (CtMode::proTools)).getTree();
    tree.setProperty (Tags::mode, "  pro-tools\t", nullptr);
    auto file = folder.getChildFile ("blanks.quelt");
    tree.createXml()->writeTo (file);

    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_EQ (trv->getCurrentCtMode().getValue(), CtMode::proTools);
    EXPECT_EQ (trv->getCurrentMap().getTree().getProperty (Tags::mode).toString(), "pro-tools");

    trv->setCtMode (CtMode (CtMode::mackie));
    trv->setCtMode (CtMode (CtMode::proTools));
    EXPECT_TRUE (trv->getCurrentMap().getTree().isValid()) << "the mode stays reachable";
}

TEST_F (MappingFiles, BadFilesAreRefusedAndLeaveTheModelExactlyAsItWas)
{
    auto folder = testFolder();
    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    trv->getCurrentMap().getControlById (9).setProperty (Tags::value, 42, nullptr);
    nd[10][2] = 42;

    auto write = [&] (const juce::String& name, const juce::String& text)
    {
        auto f = folder.getChildFile (name);
        f.replaceWithText (text);
        return f;
    };

    auto goodText = CtMap (CtMode (CtMode::logic)).getTree().toXmlString();

    juce::Array<juce::File> bad {
        write ("empty.quelt", {}),
        write ("text.quelt", "this is not a mapping"),
        write ("truncated.quelt", goodText.substring (0, goodText.length() / 2)),
        write ("unclosed.quelt", "<map mode=\"logic\""),
        write ("root.quelt", goodText.replace ("<map ", "<mapping ").replace ("</map>", "</mapping>")),
        write ("unknown-mode.quelt", goodText.replace ("mode=\"logic\"", "mode=\"cubase\"")),
        write ("no-mode.quelt", goodText.replace ("mode=\"logic\" ", "")),
        write ("case.quelt", goodText.replace ("mode=\"logic\"", "mode=\"Logic\"")),
        write ("deep.quelt", goodText.replace ("<controls>", "<controls>" + juce::String::repeatedString ("<a>", 20000))
                                     .replace ("</controls>", juce::String::repeatedString ("</a>", 20000) + "</controls>")),

        // Read one way and written another: JUCE keeps both attributes, reads
        // the first and writes the last; the program finds the first control
        // of an id and saves both.
        write ("twice-mode.quelt", goodText.replace ("mode=\"logic\"", "mode=\"logic\" mode=\"mackie\"")),
        write ("twice-velo.quelt", goodText.replaceFirstOccurrenceOf ("velo=\"127\"", "velo=\"127\" velo=\"1\"")),
        write ("twice-chan.quelt", goodText.replaceFirstOccurrenceOf ("chan=\"1\"", "chan=\"1\" base64:chan=\""
                                                                      + juce::MemoryBlock (4, true).toBase64Encoding() + "\"")),
        write ("twice-id.quelt", goodText.replaceFirstOccurrenceOf ("id=\"2\"", "id=\"1\"")),

        // Far more attributes or elements than a mapping file has: JUCE's
        // cost grows with their square, in loading and again in saving.
        write ("attributes.quelt", goodText.replaceFirstOccurrenceOf ("velo=\"127\"", "velo=\"127\"" + [] {
                   juce::String extra;
                   for (int i = 0; i < 9; ++i)
                       extra << " extra" << i << "=\"0\"";
                   return extra; }())),
        write ("elements.quelt", goodText.replace ("</controls>", juce::String::repeatedString ("<x/>", 1000) + "</controls>")),

        // A file of under 1 MiB, within every other limit, that loads but
        // could not be loaded again once saved: a '"' in a value quoted with
        // '\'' is saved as "&quot;", which takes the saved form past 4 MiB.
        write ("grows.quelt", goodText.replace ("</map>", juce::String::repeatedString (
                   "<x a='" + juce::String::repeatedString ("\"", 256) + "' b='" + juce::String::repeatedString ("\"", 256)
                       + "' c='" + juce::String::repeatedString ("\"", 256) + "' d='" + juce::String::repeatedString ("\"", 256)
                       + "'/>", 850) + "</map>")),

        // Within the element limit, but the 89 controls it lacks, added on
        // loading, take its saved form past it.
        write ("completed.quelt", "<map mode=\"usrdef-mcp\" name=\"x\" protocol=\"0\">"
                                      + juce::String::repeatedString ("<x/>", 934) + "</map>"),
        folder.getChildFile ("missing.quelt"),
        folder,
    };

    // A control beside the 89 that is none of them: the reset goes by
    // position and would miss control 89 for it, and it would be saved again.
    // "05" is no id either: the program looks controls up by "5".
    const std::pair<const char*, const char*> extraControls[] {
        { "id-0", "id=\"0\"" }, { "id-90", "id=\"90\"" }, { "id-minus-1", "id=\"-1\"" },
        { "id-x", "id=\"x\"" }, { "id-05", "id=\"05\"" }, { "no-id", "" }
    };

    for (auto [name, id] : extraControls)
        bad.add (write (juce::String (name) + ".quelt",
                        goodText.replace ("<controls>", "<controls><control " + juce::String (id)
                                              + " kind=\"button\" type=\"note\" chan=\"1\" value=\"0\" value1=\"0\""
                                              " value2=\"0\" velo=\"127\"/>")));

    // JUCE's text ends at a NUL byte: what follows must not pass unseen.
    auto nul = folder.getChildFile ("nul.quelt");
    {
        juce::FileOutputStream out (nul);
        out << goodText;
        out.writeByte (0);
        out << "<garbage/>";
    }
    bad.add (nul);

    auto garbage = folder.getChildFile ("garbage.quelt");
    juce::Random rng (17);
    juce::MemoryBlock noise (4096);
    rng.fillBitsRandomly (noise.getData(), noise.getSize());
    garbage.replaceWithData (noise.getData(), noise.getSize());
    bad.add (garbage);

    auto huge = folder.getChildFile ("huge.quelt");
    {
        juce::FileOutputStream out (huge);
        out << "<map mode=\"logic\" name=\"Logic Pro\" protocol=\"0\"><controls>";
        const juce::String filler ("<control id=\"1\" kind=\"button\" type=\"note\" chan=\"1\" value=\"0\"/>\n");
        while (out.getPosition() < 50 * 1024 * 1024)
            out << filler;
        out << "</controls></map>";
    }
    bad.add (huge);

    const ModelSnapshot before (*trv);

    for (auto& f : bad)
    {
        auto r = trv->openFile (f);
        EXPECT_TRUE (r.failed()) << f.getFileName();
        EXPECT_EQ (r.getErrorMessage(), "Could not load mapping data") << f.getFileName();
        EXPECT_TRUE (ModelSnapshot (*trv) == before) << f.getFileName();
    }
}

TEST_F (MappingFiles, InputThatHungTheProgramIsRefusedInTime)
{
    auto folder = testFolder();

    // JUCE's parser loops forever on a processing instruction followed by
    // text inside an element; opening a FIFO waits for a writer for good.
    juce::Array<juce::File> files { folder.getChildFile ("instruction.quelt") };
    files[0].replaceWithText ("<map mode=\"mackie\"><?x?>b</map>");

   #if JUCE_LINUX || JUCE_MAC
    files.add (folder.getChildFile ("fifo.quelt"));
    ASSERT_EQ (mkfifo (files[1].getFullPathName().toRawUTF8(), 0600), 0);
   #endif

    const ModelSnapshot before (*trv);

    for (const auto& file : files)
    {
        auto result = std::make_shared<juce::Result> (juce::Result::ok());
        auto* model = trv;

        ASSERT_TRUE (HangGuard::finishesWithin (30, [model, file, result] { *result = model->openFile (file); }))
            << file.getFileName() << " still loading after 30 s";
        EXPECT_EQ (result->getErrorMessage(), "Could not load mapping data") << file.getFileName();
        EXPECT_TRUE (ModelSnapshot (*trv) == before) << file.getFileName();
    }
}

TEST_F (MappingFiles, ControlsAFileLacksAreAddedWithTheirModesFactoryValuesInIdOrder)
{
    auto folder = testFolder();
    auto file = folder.getChildFile ("bare.quelt");

    // A map without controls: every control must come back, or the page's
    // buttons stay unbound and the reset, which only rewrites the controls
    // there are, cannot bring them back.
    for (int m = 0; m < 5; ++m)
    {
        SCOPED_TRACE (CtMode::slugForType (m).toStdString());
        const auto factory = CtMap (CtMode (m)).getTree();
        file.replaceWithText ("<map mode=\"" + CtMode::slugForType (m) + "\" name=\"x\" protocol=\"0\"/>");

        // Earlier edits in the mirror tables, which building the factory
        // controls must not undo.
        cb[10][2] ^= 0x40;
        pt[10][2] ^= 0x40;
        HuiBnPairs[10][1] ^= 0x40;
        const MirrorSnapshot before;

        ASSERT_TRUE (trv->openFile (file).wasOk());
        const auto controls = trv->getCurrentMap().getTree().getChildWithName (Tags::controls);
        EXPECT_TRUE (controls.isEquivalentTo (factory.getChildWithName (Tags::controls)));

        if (m != CtMode::usrdefMcp)
        {
            EXPECT_TRUE (MirrorSnapshot() == before);
            continue;
        }

        // usrdef-mcp: its record table follows the completed map.
        for (int id = 1; id <= 89; ++id)
            EXPECT_EQ (std::memcmp (nd[rowForCid (id)], cbBnAttrs0[rowForCid (id)], 4), 0) << "control " << id;
    }

    // Controls missing here and there go to their places among the others;
    // the controls the file has keep their values.
    auto tree = CtMap (CtMode (CtMode::usrdefHui)).getTree();
    auto expected = tree.createCopy();
    auto controls = tree.getChildWithName (Tags::controls);
    setProperties (controls, 2, { { Tags::v1, 11 } });
    auto expectedControls = expected.getChildWithName (Tags::controls);
    setProperties (expectedControls, 2, { { Tags::v1, 11 } });

    for (int id : { 1, 49, 65, 77, 85, 89 })
        controls.removeChild (controls.getChildWithProperty (Tags::cid, id), nullptr);

    // A file's controls in another order come back in id order, where the
    // reset and the page expect them.
    controls.moveChild (controls.indexOf (controls.getChildWithProperty (Tags::cid, 88)), 0, nullptr);
    controls.moveChild (controls.indexOf (controls.getChildWithProperty (Tags::cid, 2)), -1, nullptr);

    tree.createXml()->writeTo (file);
    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_TRUE (trv->getCurrentMap().getTree().isEquivalentTo (expected));
}

TEST_F (MappingFiles, AChannelOfTheLowestIntKeepsItsLowNibble)
{
    // (chan - 1) overflowed; the record keeps the low nibble of the
    // difference, as it does for every valid channel.
    auto folder = testFolder();
    auto file = usrdefMcpFile (folder, [] (juce::ValueTree& controls)
    {
        setProperties (controls, 1, { { Tags::chan, "-2147483648" } });
        setProperties (controls, 2, { { Tags::chan, "2147483647" } });
        setProperties (controls, 3, { { Tags::chan, 16 } });
    });

    ASSERT_TRUE (trv->openFile (file).wasOk());
    EXPECT_EQ (nd[rowForCid (1)][1], 0x9F);
    EXPECT_EQ (nd[rowForCid (2)][1], 0x9E);
    EXPECT_EQ (nd[rowForCid (3)][1], 0x9F);
}

TEST_F (MappingFiles, ASaveThatCannotBeWrittenWholeKeepsThePreviousFile)
{
    const auto dir = juce::SystemStats::getEnvironmentVariable ("QUELT_READONLY_DIR", {});

    if (dir.isEmpty())
        GTEST_SKIP() << "needs the throw-away /var of tests/support/with-private-var.sh";

    trv->setCtMode (CtMode (CtMode::usrdefHui));

    // A read-only folder, a nearly full disk (the write stops short), a
    // folder named like a mapping file, which the rename would delete, and a
    // file no one may write (a rename needs only the folder's permission).
    auto readOnly = juce::File (dir).getChildFile ("previous.quelt");
    auto folder = juce::File ("/var").getChildFile ("quelt-full-" + juce::Uuid().toString());
    ASSERT_TRUE (folder.createDirectory().wasOk());
    auto nearlyFull = folder.getChildFile ("previous.quelt");
    ASSERT_TRUE (nearlyFull.replaceWithText ("previous mapping\n"));
    auto directory = folder.getChildFile ("directory.quelt");
    ASSERT_TRUE (directory.createDirectory().wasOk());
    auto writeProtected = folder.getChildFile ("write-protected.quelt");
    ASSERT_TRUE (writeProtected.replaceWithText ("previous mapping\n"));
    ASSERT_EQ (chmod (writeProtected.getFullPathName().toRawUTF8(), 0444), 0);

    for (const auto& target : { readOnly, nearlyFull, directory, writeProtected })
    {
        SCOPED_TRACE (target.getFullPathName().toStdString());
        std::unique_ptr<ScopedFullVolume> full;

        if (target == nearlyFull)
        {
            full = std::make_unique<ScopedFullVolume> (folder, 4096);
            ASSERT_TRUE (full->isFull()) << "needs the small /var of with-private-var.sh";
        }

        const auto folderBefore = target.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false);
        const auto previous = target.loadFileAsString();

        auto r = trv->saveCurrentMapping (target);
        EXPECT_EQ (r.getErrorMessage(), "Failed to write mapping file");
        EXPECT_EQ (target.loadFileAsString(), previous);
        EXPECT_EQ (target.isDirectory(), target == directory);
        EXPECT_EQ (target.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false).size(),
                   folderBefore.size()) << "no temporary file left behind";
    }

    folder.deleteRecursively();
}
