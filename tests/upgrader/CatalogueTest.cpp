#include "upgrader/FirmwareDownload.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/Product.h"
#include "tests/support/LocalHttpsServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

using zorv::FirmwareServer;
using zorv::Product;

namespace
{
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

    juce::File scratchFolder (const juce::String& name)
    {
        const auto base = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", {});
        auto root = base.isNotEmpty() ? juce::File (base) : juce::File::getSpecialLocation (juce::File::tempDirectory);
        // A unique name: parallel test processes race between "does it exist" and "create".
        auto folder = root.getChildFile (name + "-" + juce::Uuid().toString());
        folder.createDirectory();
        return folder;
    }

    // Points the upgrader at a server and back at the product's own host.
    struct ScopedRootUrl
    {
        explicit ScopedRootUrl (const juce::String& root)   { FirmwareServer::setRootUrl (root); }
        ~ScopedRootUrl()                                     { FirmwareServer::setRootUrl (FirmwareServer::defaultRootUrl); }
    };

    class HttpsTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! LocalHttpsServer::findCertificateFolder().isDirectory())
                GTEST_SKIP() << "needs the test CA: run through tests/support/with-test-ca.sh";

            ASSERT_TRUE (server.start()) << server.getError();
            root = std::make_unique<ScopedRootUrl> (server.getRootUrl());
        }

        LocalHttpsServer server;
        std::unique_ptr<ScopedRootUrl> root;
    };

    using CatalogueOverHttps = HttpsTest;
    using DownloadOverHttps = HttpsTest;

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
    server.addFile ("fw/trevan_m_1.1.bin", "image 1.1");

    juce::ValueTree catalogue;
    ASSERT_TRUE (Product::fetchAvailableFirmwares (117, catalogue).wasOk());

    const auto url = FirmwareServer::getDownloadUrl (catalogue.getChild (1));
    EXPECT_EQ (url.toString (true), server.getRootUrl() + "fw/trevan_m_1.1.bin");

    const auto target = scratchFolder ("catalogue-download").getChildFile ("image.bin");
    const auto result = zorv::FirmwareDownload::downloadToFile (url, target);

    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (target.loadFileAsString(), "image 1.1");
    target.getParentDirectory().deleteRecursively();
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
    const char* const bodies[] =
    {
        "The firmware server is down for maintenance.",
        "<not-closed",
        "<firmwares><fw pid=\"117\" fw=\"a.bin\"></fx><fw pid=\"117\" fw=\"b.bin\"/></firmwares>",
        "<firmwares><fw pid=\"117\" fw=\"a.bin\"/></firmwares><firmwares><fw pid=\"117\" fw=\"b.bin\"/></firmwares>",
    };

    for (auto* body : bodies)
    {
        server.addFile ("firmware.xml", body);

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

//==============================================================================
TEST_F (DownloadOverHttps, WholeImageOfA200ReplacesTheTarget)
{
    // Several of the download's read buffers long.
    juce::MemoryBlock image (100000);

    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = static_cast<char> (i * 7);

    server.addFile ("fw/trevan_m_2.0.bin", image);

    const auto folder = scratchFolder ("download-200");
    const auto target = folder.getChildFile ("image.bin");
    target.replaceWithText ("an older image");

    const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + "fw/trevan_m_2.0.bin"), target);

    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    juce::MemoryBlock written;
    target.loadFileAsData (written);
    EXPECT_TRUE (written == image);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1);
    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, ErrorPageOf404NeverBecomesTheImage)
{
    const auto folder = scratchFolder ("download-404");
    const auto fresh = folder.getChildFile ("fresh.bin");
    const auto kept = folder.getChildFile ("kept.bin");
    kept.replaceWithText ("an older image");

    const juce::URL missing (server.getRootUrl() + "fw/missing.bin");

    const auto freshResult = zorv::FirmwareDownload::downloadToFile (missing, fresh);
    EXPECT_TRUE (freshResult.failed());
    EXPECT_TRUE (freshResult.getErrorMessage().contains ("404")) << freshResult.getErrorMessage();
    EXPECT_FALSE (fresh.exists());

    EXPECT_TRUE (zorv::FirmwareDownload::downloadToFile (missing, kept).failed());
    EXPECT_EQ (kept.loadFileAsString(), "an older image");

    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1);
    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, RefusedConnectionFailsAndLeavesNoFile)
{
    const juce::URL url (server.getRootUrl() + "fw/trevan_m_2.0.bin");
    server.addFile ("fw/trevan_m_2.0.bin", "image");
    server.stop();

    const auto folder = scratchFolder ("download-refused");
    const auto result = zorv::FirmwareDownload::downloadToFile (url, folder.getChildFile ("image.bin"));

    EXPECT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().startsWith ("Could not connect")) << result.getErrorMessage();
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0);
    folder.deleteRecursively();
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

TEST (FirmwareDownload, EmptyUrlFailsWithoutTouchingTheTarget)
{
    const auto folder = scratchFolder ("download-empty");
    const auto target = folder.getChildFile ("image.bin");

    EXPECT_TRUE (zorv::FirmwareDownload::downloadToFile ({}, target).failed());
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0);
    folder.deleteRecursively();
}
