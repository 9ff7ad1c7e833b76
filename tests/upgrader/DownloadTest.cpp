#include "upgrader/FirmwareDownload.h"
#include "upgrader/MidiInputHandler.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/HttpsFixture.h"
#include "tests/upgrader/WizardHarness.h"

// Only a whole firmware image from the firmware host may reach the unit: the
// download on its own, then step 4 of the wizard in auto mode against the
// emulated unit, where a loaded image would go straight on to the upload.
namespace
{
    using namespace https_test;
    using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;

    using DownloadOverHttps = HttpsTest;

    const juce::String imagePath ("fw/trevan_m_2.0.bin");

    // A firmware image of `size` bytes whose every byte tells its place.
    juce::MemoryBlock makeImage (size_t size)
    {
        juce::MemoryBlock data (size);

        for (size_t i = 0; i < size; ++i)
            data[i] = static_cast<char> ((i * 7 + i / 251) & 0xFF);

        return data;
    }

    juce::MemoryBlock bytesOf (const juce::String& text)
    {
        return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
    }

    juce::MemoryBlock contentsOf (const juce::File& file)
    {
        juce::MemoryBlock data;
        file.loadFileAsData (data);
        return data;
    }

    // The wizard at the end of step 3, on the emulated Trevan M in upgrade
    // mode, in auto mode; the firmware host's catalogue offers one image.
    struct Step4Bench
    {
        explicit Step4Bench (LocalHttpsServer& server)
        {
            server.addFile ("firmware.xml", "<firmwares><fw pid=\"117\" name=\"Trevan M\" version=\"2.0\" fw=\""
                                                + imagePath + "\"/></firmwares>");

            auto& wizard = w.wizard;
            wizard.uploadHandler = std::make_unique<Handler> (&wizard, wizard.workingPid);
            wizard.uploadHandler->start ("Zorv firmware upgrade");
            wizard.updateProgress (2);
            bAuto = true;
        }

        static EmulatedController::Config unitInUpgradeMode()
        {
            auto config = EmulatedController::trevanM();
            config.startsInUpgradeMode = true;
            return config;
        }

        wizard_test::ScopedWizardGlobals globals;
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        EmulatedController unit { midi, unitInUpgradeMode() };
        wizard_test::ModalAnswerer user;
        wizard_test::WizardInDialog w;
    };

    const juce::String downloadFailed ("Firmware Download|Could not download firmware file");
}

//==============================================================================
TEST_F (DownloadOverHttps, WholeImageOfA200ReplacesTheTarget)
{
    // Many of the download's read pieces long.
    const auto image = makeImage (100000);
    server.addFile (imagePath, image);

    // Redirects within HTTPS are followed, a relative one included.
    LocalHttpsServer::Answer latest;
    latest.location = "/" + imagePath;
    server.setAnswer ("fw/latest.bin", latest);

    const auto folder = scratchFolder ("download-200");
    const auto target = folder.getChildFile ("image.bin");

    for (const auto& path : { imagePath, juce::String ("fw/latest.bin") })
    {
        target.replaceWithText ("an older image");

        const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + path), target);

        ASSERT_TRUE (result.wasOk()) << path << ": " << result.getErrorMessage();
        EXPECT_TRUE (contentsOf (target) == image) << path;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << path;
    }

    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, TargetThatIsNotAnOrdinaryFileIsLeftAlone)
{
    server.addFile (imagePath, makeImage (1300));

    // Renaming over an empty folder would delete it.
    const auto folder = scratchFolder ("download-folder");
    const auto target = folder.getChildFile ("image.bin");
    target.createDirectory();

    EXPECT_TRUE (zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + imagePath), target).failed());
    EXPECT_TRUE (target.isDirectory());
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
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
    const juce::URL url (server.getRootUrl() + imagePath);
    server.addFile (imagePath, "image");
    server.stop();

    const auto folder = scratchFolder ("download-refused");
    const auto result = zorv::FirmwareDownload::downloadToFile (url, folder.getChildFile ("image.bin"));

    EXPECT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().startsWith ("Could not connect")) << result.getErrorMessage();
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0);
    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, BodyLongerThanTheLargestImageNeverReachesTheDisk)
{
    const auto folder = scratchFolder ("download-large");
    const auto target = folder.getChildFile ("image.bin");

    struct Case { size_t size; bool withLength; bool passes; };
    const Case cases[] = { { Handler::maxImageSize - 1, true, true },
                           { Handler::maxImageSize, true, false },
                           // Nothing tells its length: the read itself must stop.
                           { Handler::maxImageSize + 1024 * 1024, false, false } };

    for (const auto& c : cases)
    {
        const auto image = makeImage (c.size);
        server.addFile (imagePath, image);
        LocalHttpsServer::Answer answer;
        answer.omitLength = ! c.withLength;
        server.setAnswer (imagePath, answer);
        target.replaceWithText ("an older image");

        const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + imagePath), target);

        EXPECT_EQ (result.wasOk(), c.passes) << c.size << ": " << result.getErrorMessage();
        EXPECT_TRUE (c.passes ? contentsOf (target) == image : target.loadFileAsString() == "an older image") << c.size;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << c.size;
    }

    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, SilentServerFailsWhileTheWindowStaysAlive)
{
    server.addFile (imagePath, makeImage (1300));
    LocalHttpsServer::Answer stall;
    stall.holdAfterBytes = 1000;
    server.setAnswer (imagePath, stall);

    const auto folder = scratchFolder ("download-silent");
    const auto target = folder.getChildFile ("image.bin");

    // Takes the connection and never answers: the connection time-out, a
    // limit of its own, ends it long before the usual 15 s stall limit would.
    // Answers, then falls silent part way through the body: the stall limit.
    struct Case { juce::String url; std::function<bool()> silent; zorv::FirmwareServer::TimeLimits limits; double within; };
    const Case cases[] = {
        { server.getMuteRootUrl() + imagePath, [] { return true; }, withConnect (500), 10.0 },
        { server.getRootUrl() + imagePath, [this] { return server.countRequests ("/" + imagePath) > 0; }, withStall (500), generousSeconds },
    };

    for (const auto& c : cases)
    {
        ScopedTimeLimits caseLimits (c.limits);
        target.replaceWithText ("an older image");
        LoopWitness witness (c.silent);
        const auto start = std::chrono::steady_clock::now();

        const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (c.url), target);
        const int turns = witness.stop();

        EXPECT_TRUE (result.failed()) << c.url;
        EXPECT_GT (turns, 0) << c.url;
        EXPECT_LT (secondsSince (start), c.within) << c.url;
        EXPECT_EQ (target.loadFileAsString(), "an older image") << c.url;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << c.url;
    }

    folder.deleteRecursively();
}

TEST_F (DownloadOverHttps, TrickleThatNeverFallsSilentForAStallLimitArrivesWhole)
{
    // Three stall limits long, in pieces a tenth of a second apart: every
    // piece that arrives starts the silence over.
    const auto image = makeImage (9000);
    server.addFile (imagePath, image);
    LocalHttpsServer::Answer trickle;
    trickle.trickleBytesPerSecond = 1500;
    server.setAnswer (imagePath, trickle);
    ScopedStallLimit shortStall (2000);

    const auto folder = scratchFolder ("download-trickle");
    const auto target = folder.getChildFile ("image.bin");
    const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + imagePath), target);

    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_TRUE (contentsOf (target) == image);
    folder.deleteRecursively();
}

//==============================================================================
TEST_F (DownloadOverHttps, Step4UploadsAWholeImageFromTheCatalogue)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    Step4Bench bench (server);
    const auto image = makeImage (1300);
    server.addFile (imagePath, image);

    bench.w.wizard.doStep4();
    bench.midi.waitUntilIdle();

    EXPECT_EQ (bench.unit.imageMismatch (image), "");
    EXPECT_TRUE (bench.unit.violations().isEmpty()) << bench.unit.violations().joinIntoString ("\n");
    EXPECT_TRUE (bench.user.alerts.isEmpty()) << bench.user.alerts.joinIntoString ("\n");
    EXPECT_EQ (zorv::_num_UpgradeSuccess, bench.globals.successes.value + 1);
}

TEST_F (DownloadOverHttps, OnlyAClickOnStep4ForgetsAnEarlierEscape)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    const auto image = makeImage (1300);
    server.addFile (imagePath, image);

    // An Escape pressed some time before: the click on "Select Version" is a
    // fresh start, and the automatic run goes on to the upload.
    {
        Step4Bench bench (server);
        auto& wizard = bench.w.wizard;
        zorv::bEsc = true;

        wizard.buttonClicked (&wizard.stepButtons[3]);
        bench.midi.waitUntilIdle();

        EXPECT_EQ (bench.unit.imageMismatch (image), "");
        EXPECT_TRUE (bench.user.alerts.isEmpty()) << bench.user.alerts.joinIntoString ("\n");
    }

    // Escape during step 3 of an automatic run: the chain goes on into step
    // 4, which gives up its first transfer, offers neither the versions nor
    // a file chooser, and never starts step 5.
    {
        Step4Bench bench (server);
        auto& wizard = bench.w.wizard;
        wizard.updateProgress (1);
        zorv::bEsc = false;
        const auto imageRequests = server.countRequests ("/" + imagePath);

        juce::MessageManager::callAsync ([&wizard] { wizard.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); });
        wizard.doStep3();
        bench.midi.waitUntilIdle();

        // Step 3's device picker confirms itself in auto mode, and may or
        // may not be seen before it does; the versions or a file chooser
        // would wait for the user.
        auto shown = bench.user.windows;
        shown.removeString ("Choose Your Zorv Device");
        EXPECT_TRUE (shown.isEmpty()) << shown.joinIntoString (", ");
        EXPECT_TRUE (bench.user.alerts.isEmpty()) << bench.user.alerts.joinIntoString ("\n");
        EXPECT_EQ (server.countRequests ("/" + imagePath), imageRequests);
        EXPECT_EQ (wizard.currentStep, 2);
        EXPECT_TRUE (bench.unit.upgradePorts().getReceived().empty());
    }
}

TEST_F (DownloadOverHttps, Step4LocksTheStepsWhileTheLoopRunsDuringTheCatalogueRead)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    Step4Bench bench (server);
    bAuto = false;
    bench.user.preferredButtons = { "Cancel" };

    // The probe has its answer; the read falls silent, then the step offers
    // the file chooser, which the user cancels.
    LocalHttpsServer::Answer silent;
    silent.holdAfterBytes = 20;
    server.setAnswer ("firmware.xml", silent);
    ScopedStallLimit shortStall (500);

    auto& wizard = bench.w.wizard;
    // From the read's request until the chooser opens.
    bool chooserShown = false;
    bench.user.onModal = [&] (juce::Component&) { chooserShown = true; return false; };

    const auto reading = [&]
    {
        return server.countRequests ("/firmware.xml") == 2 && ! chooserShown
            && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0;
    };
    LoopWitness witness (reading, [&] { return wizard_test::enabledSteps (wizard) != "00000"; });

    wizard.doStep4();

    EXPECT_GT (witness.stop(), 0);
    EXPECT_EQ (witness.notableTurns(), 0);
    EXPECT_EQ (bench.user.windows.size(), 1);
    EXPECT_TRUE (bench.user.alerts.isEmpty());
    EXPECT_EQ (wizard.currentStep, 2);
    EXPECT_EQ (wizard_test::enabledSteps (wizard), "00110");
}

TEST_F (DownloadOverHttps, Step4RefusesEveryAnswerThatCannotBeAFirmwareImage)
{
    if (! wizard_test::hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    // Each case runs under limits that only its own rule can break: a short
    // connection time-out or stall limit where that is the fault, the usual
    // ones elsewhere, so that a case never passes by the wrong rule.
    const auto usual = zorv::FirmwareServer::getTimeLimits();
    const auto shortConnect = withConnect (500);
    const auto shortStall = withStall (500);

    // Long enough to pass for an image with the upload.
    const auto padding = juce::String::repeatedString (" ", 2000);

    LocalHttpsServer::Answer text, textFirst, page, upperCasePage, tooLong, cutShort, insecure, unanswered, silent;
    text.contentType = "text/plain; charset=utf-8";
    textFirst.contentType = "text/plain";
    textFirst.contentTypeFirst = true;
    cutShort.declaredLength = 2300;
    insecure.location = server.getPlainRootUrl() + "plain/image.bin";
    unanswered.location = server.getMuteRootUrl() + imagePath;
    silent.holdAfterBytes = 1000;

    struct Case { const char* name; LocalHttpsServer::Answer answer; juce::MemoryBlock body; zorv::FirmwareServer::TimeLimits limits; };
    const Case cases[] = {
        { "text",                       text,           makeImage (1300), usual },
        { "text, its type first",       textFirst,      makeImage (1300), usual },
        { "web page",                   page,           bytesOf ("\r\n \t<!doctype html><html><body>Sign in</body></html>" + padding), usual },
        { "upper-case web page",        upperCasePage,  bytesOf ("<HTML><BODY>Portal</BODY></HTML>" + padding), usual },
        { "longer than any image",      tooLong,        makeImage (Handler::maxImageSize), usual },
        { "ends before its length",     cutShort,       makeImage (1300), usual },
        { "redirected to plain http",   insecure,       makeImage (1300), usual },
        { "never answered",             unanswered,     makeImage (1300), shortConnect },
        { "silent part way",            silent,         makeImage (1300), shortStall },
    };

    for (const auto& c : cases)
    {
        ScopedTimeLimits caseLimits (c.limits);
        Step4Bench bench (server);
        server.addFile (imagePath, c.body);
        server.addFile ("plain/image.bin", c.body);
        server.setAnswer (imagePath, c.answer);
        const auto start = std::chrono::steady_clock::now();

        bench.w.wizard.doStep4();
        bench.midi.waitUntilIdle();

        EXPECT_EQ (bench.user.alerts.joinIntoString ("\n"), downloadFailed) << c.name;
        EXPECT_LT (secondsSince (start), generousSeconds) << c.name;
        EXPECT_TRUE (bench.unit.upgradePorts().getReceived().empty()) << c.name;
        EXPECT_EQ (bench.w.wizard.currentStep, 2) << c.name;
        EXPECT_FALSE (zorv::protectUiQ) << c.name;
    }
}

//==============================================================================
TEST (FirmwareDownload, EmptyUrlFailsWithoutTouchingTheTarget)
{
    const auto folder = scratchFolder ("download-empty");
    const auto target = folder.getChildFile ("image.bin");

    EXPECT_TRUE (zorv::FirmwareDownload::downloadToFile ({}, target).failed());
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0);
    folder.deleteRecursively();
}
