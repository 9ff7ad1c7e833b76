#include "upgrader/FirmwareDownload.h"
#include "upgrader/Product.h"
#include "tests/upgrader/HttpsFixture.h"

#if JUCE_LINUX
 #include <sys/inotify.h>
 #include <unistd.h>
#endif

using zorv::FirmwareServer;
using zorv::Product;

namespace
{
    using namespace https_test;

    const juce::String serverUnavailable ("The firmware server is currently unavailable.");
    const juce::String noDocument ("Error connecting to server");
    const juce::String noMatch ("No firmware matches in the server, please try again manually!");
    const juce::String unknownProduct ("Cannot fetch firmware details for Unknown product");

    // A tree the caller held before the fetch, to see that failures leave it be.
    juce::ValueTree callersTree()
    {
        juce::ValueTree tree ("firmwares");
        tree.appendChild (juce::ValueTree ("earlier"), nullptr);
        return tree;
    }

    juce::StringArray propertyOfEach (const juce::ValueTree& tree, const char* property)
    {
        juce::StringArray values;

        for (const auto& child : tree)
            values.add (child.getProperty (property).toString());

        return values;
    }

    using CatalogueOverHttps = HttpsTest;

    const char* const mixedCatalogue =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- published by the firmware team -->\n"
        "<catalogue generated=\"today\">\n"
        "  <firmware pid=\"117\" name=\"Trevan M\" version=\"1.0\" fw=\"fw/trevan_m_1.0.bin\"/>\n"
        "  <release pid=\"118\" name=\"Trevan X\" version=\"1.0\" fw=\"fw/trevan_x_1.0.bin\"/>\n"
        "  <image pid=\"117\" name=\"Trevan M\" version=\"1.1\" fw=\"fw/trevan_m_1.1.bin\">\n"
        "    <notes>Faster &amp; fixed</notes>\n"
        "  </image>\n"
        "  <firmware pid=\"130\" name=\"WexelPro XS\" version=\"2.0\" fw=\"fw/wexel_pro_xs_2.0.bin\"/>\n"
        "  <build name=\"Unlabelled\" fw=\"fw/unlabelled.bin\"/>\n"
        "  <firmware pid=\"117\" name=\"Trevan M beta\" version=\"1.2b\" fw=\"fw/trevan_m_1.2b.bin\"/>\n"
        "</catalogue>\n";
}

//==============================================================================
TEST_F (CatalogueOverHttps, KeepsTheProductsEntriesOfAnyTagInDocumentOrder)
{
    server.addFile ("firmware.xml", mixedCatalogue);

    auto earlier = callersTree();
    auto catalogue = earlier;

    const auto result = Product::fetchAvailableFirmwares (117, catalogue);

    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_TRUE (catalogue.hasType ("catalogue"));
    EXPECT_EQ (catalogue.getProperty ("generated").toString(), "today");
    EXPECT_EQ (propertyOfEach (catalogue, "version"), juce::StringArray ({ "1.0", "1.1", "1.2b" }));
    EXPECT_EQ (catalogue.getChild (0).getType().toString(), "firmware");
    EXPECT_EQ (catalogue.getChild (1).getType().toString(), "image");

    // The caller's tree now is the server's; the one it held is untouched.
    EXPECT_NE (catalogue, earlier);
    EXPECT_EQ (earlier.getNumChildren(), 1);

    // The probe and the document itself.
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 2);

    // An entry without a product id belongs to product 0, which is asked for
    // like any other.
    juce::ValueTree zero;
    ASSERT_TRUE (Product::fetchAvailableFirmwares (0, zero).wasOk());
    EXPECT_EQ (propertyOfEach (zero, "name"), juce::StringArray ({ "Unlabelled" }));
}

TEST_F (CatalogueOverHttps, ChosenEntryDownloadsFromTheRootFollowedByItsPath)
{
    server.addFile ("firmware.xml", mixedCatalogue);
    juce::MemoryBlock image (1024);

    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = (char) (i * 11);

    server.addFile ("fw/trevan_m_1.1.bin", image);

    juce::ValueTree catalogue;
    ASSERT_TRUE (Product::fetchAvailableFirmwares (117, catalogue).wasOk());

    const auto url = FirmwareServer::getDownloadUrl (catalogue.getChild (1));
    EXPECT_EQ (url.toString (true), server.getRootUrl() + "fw/trevan_m_1.1.bin");

    const auto target = scratchFolder ("catalogue-download").getChildFile ("image.bin");
    const auto result = zorv::FirmwareDownload::downloadToFile (url, target);

    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    juce::MemoryBlock downloaded;
    target.loadFileAsData (downloaded);
    EXPECT_TRUE (downloaded == image);
    target.getParentDirectory().deleteRecursively();
}

TEST_F (CatalogueOverHttps, AnyTwoHundredAnswerIsReadHoweverItsBodyEnds)
{
    server.addFile ("firmware.xml", mixedCatalogue);

    // A proxy's 203 is a success like the 200 the probe took it for. A body
    // that ends with the connection is read too: a document proves itself
    // whole, its root element must end.
    LocalHttpsServer::Answer fromProxy, unframed;
    fromProxy.status = 203;
    unframed.omitLength = true;

    for (const auto& answer : { fromProxy, unframed })
    {
        server.setAnswer ("firmware.xml", answer);

        juce::ValueTree catalogue;
        const auto result = Product::fetchAvailableFirmwares (117, catalogue);

        EXPECT_TRUE (result.wasOk()) << answer.status << ": " << result.getErrorMessage();
        EXPECT_EQ (propertyOfEach (catalogue, "version"), juce::StringArray ({ "1.0", "1.1", "1.2b" })) << answer.status;
    }
}

TEST_F (CatalogueOverHttps, TrustStoreIsReadOnceARun)
{
   #if JUCE_LINUX
    // The test launcher's bundle is mounted over the system's; every open of
    // it is an event here, whoever in this process opens it. Its closes are
    // watched too: unread events that are alike merge into one.
    const auto bundle = "/etc/ssl/certs/ca-certificates.crt";
    const int watch = inotify_init1 (IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE (watch, 0);
    ASSERT_GE (inotify_add_watch (watch, bundle, IN_OPEN | IN_CLOSE), 0);

    const auto opensSinceLastAsked = [watch]
    {
        int opens = 0;
        alignas (inotify_event) char events[4096];

        for (ssize_t got; (got = read (watch, events, sizeof (events))) > 0;)
            for (auto* at = events; at < events + got; at += sizeof (inotify_event) + reinterpret_cast<inotify_event*> (at)->len)
                opens += (reinterpret_cast<inotify_event*> (at)->mask & IN_OPEN) != 0 ? 1 : 0;

        return opens;
    };

    server.addFile ("firmware.xml", mixedCatalogue);
    juce::MemoryBlock image (4096);

    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = (char) (i * 11);

    server.addFile ("fw/trevan_m_1.1.bin", image);

    // Two probes and two catalogue reads, then an image: five connections,
    // and at most one read of the store, by the first unless a test before
    // this one in the same run has read it already.
    for (int fetch = 0; fetch < 2; ++fetch)
    {
        juce::ValueTree catalogue;
        ASSERT_TRUE (Product::fetchAvailableFirmwares (117, catalogue).wasOk());
    }

    const auto folder = scratchFolder ("catalogue-trust-store");
    zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + "fw/trevan_m_1.1.bin"), folder.getChildFile ("image.bin"));
    folder.deleteRecursively();

    EXPECT_LE (opensSinceLastAsked(), 1);
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 4);
    EXPECT_EQ (server.countRequests ("/fw/trevan_m_1.1.bin"), 1);

    // The watch sees opens at all.
    juce::File (bundle).loadFileAsString();
    EXPECT_EQ (opensSinceLastAsked(), 1);
    close (watch);
   #else
    GTEST_SKIP() << "counts the opens of the trust store with inotify";
   #endif
}

TEST_F (CatalogueOverHttps, WexelProXAndXsReadTheSpecialCatalogue)
{
    server.addFile ("firmware.xml",
                    "<firmwares><fw pid=\"94\" fw=\"common-94.bin\"/><fw pid=\"130\" fw=\"common-130.bin\"/>"
                    "<fw pid=\"118\" fw=\"common-118.bin\"/></firmwares>");
    server.addFile ("firmware-special.xml",
                    "<firmwares><fw pid=\"94\" fw=\"special-94.bin\"/><fw pid=\"130\" fw=\"special-130.bin\"/>"
                    "<fw pid=\"118\" fw=\"special-118.bin\"/></firmwares>");

    for (auto [pid, expected] : { std::pair (94, "special-94.bin"), std::pair (130, "special-130.bin") })
    {
        juce::ValueTree catalogue;
        ASSERT_TRUE (Product::fetchAvailableFirmwares (pid, catalogue).wasOk()) << pid;
        EXPECT_EQ (propertyOfEach (catalogue, "fw"), juce::StringArray (expected)) << pid;
    }

    EXPECT_EQ (server.countRequests ("/firmware-special.xml"), 4);
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 0);
}

TEST_F (CatalogueOverHttps, ThreeTriesOfA404MakeTheServerUnavailable)
{
    // Runs only if the probe lets the message loop go between its tries.
    auto dispatched = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([dispatched] { *dispatched = true; });

    auto catalogue = callersTree();
    const auto earlier = catalogue;

    const auto result = Product::fetchAvailableFirmwares (117, catalogue);

    EXPECT_EQ (result.getErrorMessage(), serverUnavailable);
    EXPECT_EQ (catalogue, earlier);
    EXPECT_EQ (catalogue.getNumChildren(), 1);
    EXPECT_EQ (server.getRequests(), juce::StringArray ({ "GET /firmware.xml 404", "GET /firmware.xml 404", "GET /firmware.xml 404" }));
    EXPECT_TRUE (dispatched->load());
}

TEST_F (CatalogueOverHttps, StoppedServerIsUnavailable)
{
    server.stop();

    auto catalogue = callersTree();
    EXPECT_EQ (Product::fetchAvailableFirmwares (118, catalogue).getErrorMessage(), serverUnavailable);
    EXPECT_EQ (catalogue.getNumChildren(), 1);
}

TEST_F (CatalogueOverHttps, BodyThatIsNotAWellFormedDocumentChangesNothing)
{
    const std::string bodies[] =
    {
        "The firmware server is down for maintenance.",
        "<not-closed",
        "<firmwares><fw pid=\"117\" fw=\"a.bin\"></fx><fw pid=\"117\" fw=\"b.bin\"/></firmwares>",
        "<firmwares><fw pid=\"117\" fw=\"a.bin\"/></firmwares><firmwares><fw pid=\"117\" fw=\"b.bin\"/></firmwares>",
        // JUCE's parser never finishes this one.
        "<firmwares><?x?>b</firmwares>",
        // Text ends at the NUL; what follows would never be checked.
        [] { const char text[] = "<firmwares><fw pid=\"117\" fw=\"a.bin\"/></firmwares>\0<junk"; return std::string (text, sizeof (text) - 1); }(),
    };

    for (const auto& body : bodies)
    {
        server.addFile ("firmware.xml", juce::MemoryBlock (body.data(), body.size()));

        auto catalogue = callersTree();
        const auto earlier = catalogue;

        EXPECT_EQ (Product::fetchAvailableFirmwares (117, catalogue).getErrorMessage(), noDocument) << body;
        EXPECT_EQ (catalogue, earlier) << body;
        EXPECT_EQ (catalogue.getNumChildren(), 1) << body;
    }
}

TEST_F (CatalogueOverHttps, CatalogueWithoutTheProductLeavesTheServersEmptyRoot)
{
    server.addFile ("firmware.xml", "<list><fw pid=\"118\" fw=\"x.bin\"/><fw pid=\"1170\" fw=\"y.bin\"/></list>");

    auto catalogue = callersTree();
    const auto result = Product::fetchAvailableFirmwares (117, catalogue);

    EXPECT_EQ (result.getErrorMessage(), noMatch);
    EXPECT_TRUE (catalogue.hasType ("list"));
    EXPECT_EQ (catalogue.getNumChildren(), 0);
}

TEST_F (CatalogueOverHttps, AnswerLargerThanOneMebibyteIsNotACatalogue)
{
    // A well-formed catalogue padded with a comment to the cap, then one byte past it.
    const juce::String head ("<firmwares><fw pid=\"117\" fw=\"a.bin\"/><!--");
    const juce::String tail ("--></firmwares>");
    const int cap = 1024 * 1024;

    for (const int size : { cap, cap + 1 })
    {
        server.addFile ("firmware.xml", head + juce::String::repeatedString ("x", size - head.length() - tail.length()) + tail);

        auto catalogue = callersTree();
        const auto result = Product::fetchAvailableFirmwares (117, catalogue);

        if (size == cap)
        {
            EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
            EXPECT_EQ (propertyOfEach (catalogue, "fw"), juce::StringArray ("a.bin"));
        }
        else
        {
            EXPECT_EQ (result.getErrorMessage(), noDocument);
            EXPECT_EQ (catalogue.getNumChildren(), 1);
            EXPECT_TRUE (catalogue.getChild (0).hasType ("earlier"));
        }
    }
}

TEST_F (CatalogueOverHttps, RedirectsAreFollowedOnlyToHttps)
{
    server.addFile ("mirror/firmware.xml", mixedCatalogue);

    LocalHttpsServer::Answer redirect;
    redirect.location = server.getRootUrl() + "mirror/firmware.xml";
    server.setAnswer ("firmware.xml", redirect);

    juce::ValueTree catalogue;
    ASSERT_TRUE (Product::fetchAvailableFirmwares (117, catalogue).wasOk());
    EXPECT_EQ (catalogue.getNumChildren(), 3);

    // The same catalogue, but over plain HTTP: never asked for.
    const auto asked = server.countRequests ("/mirror/firmware.xml");
    redirect.location = server.getPlainRootUrl() + "mirror/firmware.xml";
    server.setAnswer ("firmware.xml", redirect);

    auto unchanged = callersTree();
    EXPECT_TRUE (Product::fetchAvailableFirmwares (117, unchanged).failed());
    EXPECT_EQ (unchanged.getNumChildren(), 1);
    EXPECT_TRUE (unchanged.getChild (0).hasType ("earlier"));
    EXPECT_EQ (server.countRequests ("/mirror/firmware.xml"), asked);
}

TEST_F (CatalogueOverHttps, StalledAnswerFailsWhileTheWindowStaysAlive)
{
    server.addFile ("firmware.xml", mixedCatalogue);
    LocalHttpsServer::Answer stall;
    stall.holdAfterBytes = 40;
    server.setAnswer ("firmware.xml", stall);
    // Seconds of silence: time for the loop to turn however loaded the machine.
    ScopedStallLimit shortStall (3000);

    // The probe gets its status from the first bytes; the read then waits on
    // the silent server, and the loop must run meanwhile.
    LoopWitness witness ([this] { return server.countRequests ("/firmware.xml") >= 2; });
    const auto start = std::chrono::steady_clock::now();

    auto catalogue = callersTree();
    const auto result = Product::fetchAvailableFirmwares (117, catalogue);
    const int turns = witness.stop();

    EXPECT_EQ (result.getErrorMessage(), noDocument);
    EXPECT_EQ (catalogue.getNumChildren(), 1);
    EXPECT_GT (turns, 0);
    EXPECT_LT (secondsSince (start), generousSeconds);
}

TEST_F (CatalogueOverHttps, TricklingAnswerEndsAtTheWholeAnswerLimit)
{
    // A good catalogue, padded so that it takes 100 s to arrive. Each piece
    // of the read (256 bytes at first) takes 1.3 s; the stall limit is kept
    // far above that, so only the limit on the whole answer can end it, and
    // without that limit the catalogue would be read whole and accepted.
    server.addFile ("firmware.xml", "<firmwares>" + juce::String::repeatedString (" ", 20000)
                                        + "<fw pid=\"117\" fw=\"a.bin\"/></firmwares>");
    LocalHttpsServer::Answer trickle;
    trickle.trickleBytesPerSecond = 200;
    server.setAnswer ("firmware.xml", trickle);

    auto wholeLimit = withStall (15000);
    wholeLimit.catalogueMs = 2000;
    ScopedTimeLimits shortWhole (wholeLimit);
    const auto start = std::chrono::steady_clock::now();

    auto catalogue = callersTree();
    EXPECT_EQ (Product::fetchAvailableFirmwares (117, catalogue).getErrorMessage(), noDocument);
    EXPECT_EQ (catalogue.getNumChildren(), 1);
    EXPECT_LT (secondsSince (start), generousSeconds);
}

//==============================================================================
// These need no server: they must fail or answer before any request is made.
TEST (FirmwareCatalogue, UnknownProductIsRefusedBeforeAskingTheServer)
{
    // A port nothing listens on: a request would fail as "unavailable" instead.
    ScopedRootUrl root ("https://127.0.0.1:1/");

    for (int pid : { -1, -117, 2000 })
    {
        auto catalogue = callersTree();
        const auto earlier = catalogue;

        EXPECT_EQ (Product::fetchAvailableFirmwares (pid, catalogue).getErrorMessage(), unknownProduct) << pid;
        EXPECT_EQ (catalogue, earlier);
        EXPECT_EQ (catalogue.getNumChildren(), 1);
    }
}

TEST (FirmwareServer, DownloadUrlIsTheRootFollowedByTheEntrysPath)
{
    juce::ValueTree entry ("firmware");
    entry.setProperty ("fw", "fw/trevan_m_1.2.bin", nullptr);

    EXPECT_EQ (FirmwareServer::getDownloadUrl (entry).toString (true),
               juce::String (FirmwareServer::defaultRootUrl) + "fw/trevan_m_1.2.bin");

    {
        ScopedRootUrl root ("https://mirror.example.test");
        EXPECT_EQ (FirmwareServer::getRootUrl(), "https://mirror.example.test/");
        EXPECT_EQ (FirmwareServer::getDownloadUrl (entry).toString (true), "https://mirror.example.test/fw/trevan_m_1.2.bin");
    }

    EXPECT_EQ (FirmwareServer::getRootUrl(), FirmwareServer::defaultRootUrl);
}

TEST (FirmwareServer, EntryWithoutAnImagePathHasNoDownloadUrl)
{
    juce::ValueTree noPath ("firmware");
    noPath.setProperty ("name", "Trevan M", nullptr);

    juce::ValueTree blankPath ("firmware");
    blankPath.setProperty ("fw", "  ", nullptr);

    EXPECT_TRUE (FirmwareServer::getDownloadUrl ({}).isEmpty());
    EXPECT_TRUE (FirmwareServer::getDownloadUrl (noPath).isEmpty());
    EXPECT_TRUE (FirmwareServer::getDownloadUrl (blankPath).isEmpty());
}
