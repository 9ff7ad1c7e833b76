#include "upgrader/FirmwareDownload.h"
#include "upgrader/MidiInputHandler.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/HttpsFixture.h"
#include "tests/upgrader/TextSamples.h"
#include "tests/upgrader/WizardHarness.h"

#include <optional>

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

    // UTF-16 in the machine's own byte order; the text brings its byte-order mark.
    juce::MemoryBlock bytesOf (const std::u16string& text)
    {
        return { text.data(), text.size() * sizeof (char16_t) };
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

    // A case without a body of its own gets `image`.
    struct Case { juce::String path; zorv::FirmwareServer::TimeLimits limits; juce::MemoryBlock body = {}; };
    std::vector<Case> cases { { imagePath, testLimits() } };

    // Redirects within HTTPS are followed, a relative one included, by
    // whatever 3xx number they come.
    for (const int status : { 300, 301, 302, 303, 304, 305, 306, 307, 308, 399 })
    {
        LocalHttpsServer::Answer moved;
        moved.location = "/" + imagePath;
        moved.status = status;
        const auto path = "fw/moved-" + juce::String (status) + ".bin";
        server.setAnswer (path, moved);
        cases.push_back ({ path, testLimits() });
    }

    // The type of a redirect is not the type of the answer it leads to.
    LocalHttpsServer::Answer typedRedirect, untyped;
    typedRedirect.location = "/fw/untyped.bin";
    typedRedirect.contentType = "text/html";
    untyped.omitContentType = true;
    server.setAnswer ("fw/typed-redirect.bin", typedRedirect);
    server.addFile ("fw/untyped.bin", image);
    server.setAnswer ("fw/untyped.bin", untyped);
    cases.push_back ({ "fw/typed-redirect.bin", testLimits() });

    // The smallest image the upload takes, and a real program's bytes, as
    // many as the largest image holds.
    const auto smallest = makeImage (Handler::minImageSize);
    auto program = contentsOf (juce::File::getSpecialLocation (juce::File::currentExecutableFile));
    program.setSize (std::min (program.getSize(), Handler::maxImageSize - 1));
    server.addFile ("fw/smallest.bin", smallest);
    server.addFile ("fw/program.bin", program);
    cases.push_back ({ "fw/smallest.bin", testLimits(), smallest });
    cases.push_back ({ "fw/program.bin", testLimits(), program });

    // As many redirects as are followed, each answered after a wait well
    // within the connection time-out, all of them together well beyond it:
    // each request has the whole time-out of its own.
    constexpr int hopDelayMs = 1200;
    LocalHttpsServer::Answer slow;
    slow.delayMs = hopDelayMs;
    server.addFile ("fw/slow.bin", image);
    server.setAnswer ("fw/slow.bin", slow);

    for (int hop = 1; hop <= 5; ++hop)
    {
        auto redirect = slow;
        redirect.location = hop < 5 ? "/fw/hop-" + juce::String (hop + 1) + ".bin" : juce::String ("/fw/slow.bin");
        server.setAnswer ("fw/hop-" + juce::String (hop) + ".bin", redirect);
    }

    cases.push_back ({ "fw/hop-1.bin", withConnect (5 * hopDelayMs) });

    // A body in chunks ends with its last chunk; two lengths that are one
    // number, however written, frame it alike.
    LocalHttpsServer::Answer chunked, lengthTwice;
    chunked.chunked = true;
    lengthTwice.rawHeaders = "Content-Length: 0" + juce::String ((juce::int64) image.getSize()) + "\r\n";

    for (const auto& [path, answer] : { std::pair ("fw/chunked.bin", chunked), std::pair ("fw/length-twice.bin", lengthTwice) })
    {
        server.addFile (path, image);
        server.setAnswer (path, answer);
        cases.push_back ({ path, testLimits() });
    }

    const auto folder = scratchFolder ("download-200");
    const auto target = folder.getChildFile ("image.bin");

    for (const auto& [path, pathLimits, body] : cases)
    {
        ScopedTimeLimits caseLimits (pathLimits);
        target.replaceWithText ("an older image");

        const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + path), target);

        ASSERT_TRUE (result.wasOk()) << path << ": " << result.getErrorMessage();
        EXPECT_TRUE (contentsOf (target) == (body.isEmpty() ? image : body)) << path;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << path;
    }

    // The target is a name the wizard picks in the shared temporary folder:
    // a link someone planted there gives way, nothing is written through it.
    const auto planted = folder.getChildFile ("planted");
    ASSERT_TRUE (target.deleteFile() && planted.createSymbolicLink (target, true));
    ASSERT_TRUE (zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + imagePath), target).wasOk());
    EXPECT_FALSE (target.isSymbolicLink());
    EXPECT_TRUE (contentsOf (target) == image);
    EXPECT_FALSE (planted.exists());

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
    // The server's own page for a missing file, a page longer than any
    // image that tells no length, and a page cut short of its length: only
    // a 200's body is read, so the status is the answer each time.
    LocalHttpsServer::Answer largePage, cutPage;
    largePage.status = cutPage.status = 404;
    largePage.omitLength = true;
    cutPage.declaredLength = 2300;
    server.addFile ("fw/gone.bin", makeImage (Handler::maxImageSize + 1024));
    server.setAnswer ("fw/gone.bin", largePage);
    server.addFile ("fw/cut.bin", makeImage (1300));
    server.setAnswer ("fw/cut.bin", cutPage);

    for (const auto* path : { "fw/missing.bin", "fw/gone.bin", "fw/cut.bin" })
    {
        const auto folder = scratchFolder ("download-404");
        const auto fresh = folder.getChildFile ("fresh.bin");
        const auto kept = folder.getChildFile ("kept.bin");
        kept.replaceWithText ("an older image");

        const juce::URL missing (server.getRootUrl() + path);

        const auto freshResult = zorv::FirmwareDownload::downloadToFile (missing, fresh);
        EXPECT_TRUE (freshResult.getErrorMessage().endsWith ("HTTP status 404")) << freshResult.getErrorMessage();
        EXPECT_FALSE (fresh.exists()) << path;

        EXPECT_TRUE (zorv::FirmwareDownload::downloadToFile (missing, kept).failed()) << path;
        EXPECT_EQ (kept.loadFileAsString(), "an older image") << path;

        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << path;
        folder.deleteRecursively();
    }
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

    LocalHttpsServer::Answer interim;
    interim.endlessInterim = true;
    server.setAnswer ("fw/interim.bin", interim);

    // Forty seconds of body, which the user gives up on while it arrives.
    server.addFile ("fw/slow.bin", makeImage (4000));
    LocalHttpsServer::Answer trickle;
    trickle.trickleBytesPerSecond = 100;
    server.setAnswer ("fw/slow.bin", trickle);

    const auto folder = scratchFolder ("download-silent");
    const auto target = folder.getChildFile ("image.bin");

    // The whole-answer limit is kept short of the test's hang bound, so that
    // a case that no longer ends by its own rule fails, by its reason, in time.
    // The rule under test waits seconds: a loaded machine may hold the loop
    // back for a moment, only a loop that stands still sees no turn.
    constexpr int waitMs = 3000;
    const auto limitsOf = [] (int connectMs, int stallMs)
    {
        auto l = zorv::FirmwareServer::getTimeLimits();
        l.connectMs = connectMs;
        l.stallMs = stallMs;
        l.imageMs = 20000;
        return l;
    };

    const auto requested = [this] (const juce::String& path) { return [this, path] { return server.countRequests ("/" + path) > 0; }; };

    // Takes the connection and never answers: the connection time-out, a
    // limit of its own, ends it, not the usual 15 s stall limit.
    // Answers, then falls silent part way through the body: the stall limit.
    // Sends interim answers for ever and never the answer: the connection
    // time-out still. Sends its body slowly: giving up ends it.
    struct Case { juce::String url; std::function<bool()> silent; zorv::FirmwareServer::TimeLimits limits; const char* failure; bool giveUp; };
    const Case cases[] = {
        { server.getMuteRootUrl() + imagePath, [] { return true; }, limitsOf (waitMs, 15000), "no answer within 3000 ms", false },
        { server.getRootUrl() + imagePath, requested (imagePath), limitsOf (20000, waitMs), "nothing arrived for 3000 ms", false },
        { server.getRootUrl() + "fw/interim.bin", requested ("fw/interim.bin"), limitsOf (waitMs, 15000), "no answer within 3000 ms", false },
        { server.getRootUrl() + "fw/slow.bin", requested ("fw/slow.bin"), limitsOf (20000, 15000), "given up", true },
    };

    for (const auto& c : cases)
    {
        ScopedTimeLimits caseLimits (c.limits);
        target.replaceWithText ("an older image");
        zorv::bEsc = false;

        // Escape, a second after the server began its answer: by then the
        // headers are long in, and only the body is awaited.
        std::optional<std::chrono::steady_clock::time_point> answering;
        LoopWitness witness (c.silent, [&]
        {
            if (! answering)
                answering = std::chrono::steady_clock::now();
            else if (c.giveUp && secondsSince (*answering) > 1.0)
                zorv::giveUp();

            return false;
        });
        const auto start = std::chrono::steady_clock::now();

        const auto result = zorv::FirmwareDownload::downloadToFile (juce::URL (c.url), target);
        const int turns = witness.stop();

        EXPECT_TRUE (result.getErrorMessage().endsWith (c.failure)) << c.url << ": " << result.getErrorMessage();
        EXPECT_GT (turns, 0) << c.url;
        EXPECT_LT (secondsSince (start), generousSeconds) << c.url;
        EXPECT_EQ (target.loadFileAsString(), "an older image") << c.url;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << c.url;
    }

    zorv::bEsc = false;
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
    // Seconds of silence: time for the loop to turn however loaded the machine.
    LocalHttpsServer::Answer silent;
    silent.holdAfterBytes = 20;
    server.setAnswer ("firmware.xml", silent);
    ScopedStallLimit shortStall (3000);

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
    // ones elsewhere, and its reason is checked on the download itself, so
    // that a case never passes by the wrong rule.
    const auto usual = zorv::FirmwareServer::getTimeLimits();
    const auto shortConnect = withConnect (500);
    const auto shortStall = withStall (500);

    // Long enough to pass for an image with the upload.
    const auto padding = juce::String::repeatedString (" ", 2000);

    // Five redirects in a row to a whole image: one more in front of them
    // is one too many.
    server.addFile ("fw/final.bin", makeImage (1300));

    for (int hop = 1; hop <= 5; ++hop)
    {
        LocalHttpsServer::Answer redirect;
        redirect.location = hop < 5 ? "/fw/hop-" + juce::String (hop + 1) + ".bin" : juce::String ("/fw/final.bin");
        server.setAnswer ("fw/hop-" + juce::String (hop) + ".bin", redirect);
    }

    LocalHttpsServer::Answer plain, text, textFirst, json, untyped, gzipped, twoLengths, folded, typeWithoutBlank,
                             partial, noContent, sixRedirects, http09, badStatus, cutShort, insecure, unanswered, silent;
    text.contentType = "text/plain; charset=utf-8";
    textFirst.contentType = "text/plain";
    textFirst.contentTypeFirst = true;
    json.contentType = "application/json";
    untyped.omitContentType = true;
    gzipped.rawHeaders = "Content-Encoding: gzip\r\n";
    twoLengths.rawHeaders = "Content-Length: 1000\r\n";
    folded.omitContentType = true;
    folded.rawHeaders = "Content-Type:\r\n text/html\r\n";
    typeWithoutBlank.omitContentType = true;
    typeWithoutBlank.rawHeaders = "Content-Type:text/plain\r\n";
    partial.status = 206;
    noContent.status = 204;
    sixRedirects.location = "/fw/hop-1.bin";
    http09.rawAnswer = "<html><body>Sign in</body></html>" + padding;
    badStatus.rawAnswer = "HTTP/1.1 2000 OK\r\nContent-Length: 4\r\n\r\nbody";
    cutShort.declaredLength = 2300;
    insecure.location = server.getPlainRootUrl() + "plain/image.bin";
    unanswered.location = server.getMuteRootUrl() + imagePath;
    silent.holdAfterBytes = 1000;

    // A body whose end the answer does not state, whole or cut short, and
    // chunks without their last one. A transfer coding that is not chunked
    // last makes the body end with the connection, whatever its length says.
    LocalHttpsServer::Answer unframed, cutNotified, cutOff, identityCut, chunksCut;
    unframed.omitLength = true;
    cutNotified = cutOff = unframed;
    cutNotified.cutAfterBytes = cutOff.cutAfterBytes = identityCut.cutAfterBytes = 1000;
    cutNotified.closeNotify = true;
    identityCut.rawHeaders = "Transfer-Encoding: identity\r\n";
    chunksCut.chunked = true;
    chunksCut.cutAfterBytes = 2000;

    // Header lines as libcurl reads them: only an answer's first line is its
    // status line, and it must be HTTP's; a line that holds a control byte,
    // a blank before its colon or a fold is refused; what a line that looks
    // like a status line follows or hides is still seen.
    LocalHttpsServer::Answer lowerCaseStatus, foldedFirst, controlByte, blankBeforeColon, typeBeforeStatusLike,
                             lengthBeforeStatusLike, codingAfterStatusLike, continueHeader, http2Header,
                             blankSecondLocation, redirectWithStatusLike;
    lowerCaseStatus.statusLine = "http/1.1 404 Not Found";
    foldedFirst.rawHeaders = " x-note: folded\r\n";
    foldedFirst.rawHeadersFirst = true;
    controlByte.rawHeaders = juce::String ("Content-Encoding: identit") + juce::String::charToString (1) + "y\r\n";
    blankBeforeColon.rawHeaders = "Content-Encoding : gzip\r\n";
    typeBeforeStatusLike.contentType = "text/html";
    typeBeforeStatusLike.rawHeaders = "HTTP/1.1 200 OK: x\r\n";
    lengthBeforeStatusLike.rawHeaders = "HTTP/1.1 200 OK: x\r\nContent-Length: 1000\r\n";
    codingAfterStatusLike.rawHeaders = "HTTP/1.1 204 No Content: x\r\nContent-Encoding: gzip\r\n";
    continueHeader.contentType = http2Header.contentType = "text/html";
    continueHeader.rawHeaders = "HTTP/1.1 100 Continue:\r\n";
    http2Header.rawHeaders = "HTTP/2: x\r\n";
    blankSecondLocation.location = "/fw/page.bin";
    blankSecondLocation.rawHeaders = "Location:\r\n";
    redirectWithStatusLike.location = server.getMuteRootUrl() + imagePath;
    redirectWithStatusLike.rawHeaders = "HTTP/1.1 200 OK: x\r\n";

    LocalHttpsServer::Answer page;
    page.contentType = "text/html";
    server.addFile ("fw/page.bin", makeImage (4096));
    server.setAnswer ("fw/page.bin", page);

    struct Case { const char* name; LocalHttpsServer::Answer answer; juce::MemoryBlock body; zorv::FirmwareServer::TimeLimits limits; const char* reason; };
    const Case cases[] = {
        { "text",                       text,           makeImage (1300), usual, "with text (text/plain" },
        { "text, its type first",       textFirst,      makeImage (1300), usual, "with text (text/plain" },
        { "text, no blank after colon", typeWithoutBlank, makeImage (1300), usual, "with text (text/plain)" },
        { "web page",                   plain,          bytesOf ("\r\n \t<!doctype html><html><body>Sign in</body></html>" + padding), usual, "web page" },
        { "upper-case web page",        plain,          bytesOf ("<HTML><BODY>Portal</BODY></HTML>" + padding), usual, "web page" },
        { "page behind a comment",      plain,          bytesOf ("<!-- portal -->\n<html><body>Sign in</body></html>" + padding), usual, "with text, not" },
        { "page behind a declaration",  plain,          bytesOf ("<?xml version=\"1.0\"?>\n<html><body>Sign in</body></html>" + padding), usual, "with text, not" },
        { "page from its head",         plain,          bytesOf ("<head><title>Sign in</title></head>" + padding), usual, "with text, not" },
        { "UTF-16 page",                plain,          bytesOf (u"\uFEFF<html><body>Sign in</body></html>" + std::u16string (1000, u' ')), usual, "with text, not" },
        { "JSON error",                 json,           bytesOf ("{\"error\": \"no such firmware\"}" + padding), usual, "with text, not" },
        { "untyped text",               untyped,        bytesOf ("No firmware here.\n" + padding), usual, "with text, not" },
        { "UTF-8 text",                 plain,          bytesOf (juce::String::fromUTF8 ("\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F Gott\n") + padding), usual, "with text, not" },
        { "JSON error with accents",    plain,          text_samples::jsonErrorWithAccents(), usual, "with text, not" },
        { "same, typed as JSON",        json,           text_samples::jsonErrorWithAccents(), usual, "with text, not" },
        { "Latin-1 release notes",      plain,          text_samples::latin1ReleaseNotes(), usual, "with text, not" },
        { "UTF-16LE page without mark", plain,          text_samples::utf16LittleEndianPageWithoutMark(), usual, "with text, not" },
        { "text padded with NULs",      plain,          text_samples::asciiTextPaddedWithNuls(), usual, "with text, not" },
        { "compressed",                 gzipped,        makeImage (1300), usual, "encoded body (gzip)" },
        { "two lengths",                twoLengths,     makeImage (1300), usual, "two different Content-Length" },
        { "folded header",              folded,         makeImage (1300), usual, "folded header" },
        { "part of the file",           partial,        makeImage (1300), usual, "HTTP status 206" },
        { "no content",                 noContent,      makeImage (1300), usual, "HTTP status 204" },
        { "empty",                      plain,          {}, usual, "with 0 bytes" },
        { "shorter than any image",     plain,          makeImage (Handler::minImageSize - 1), usual, "with 511 bytes" },
        { "longer than any image",      plain,          makeImage (Handler::maxImageSize), usual, "longer than" },
        { "ends before its length",     cutShort,       makeImage (1300), usual, "before its Content-Length" },
        { "six redirects",              sixRedirects,   makeImage (1300), usual, "more than 5 redirects" },
        { "no HTTP at all",             http09,         {}, usual, "not HTTP" },
        { "status of four digits",      badStatus,      {}, usual, "not HTTP" },
        { "redirected to plain http",   insecure,       makeImage (1300), usual, "not https" },
        { "never answered",             unanswered,     makeImage (1300), shortConnect, "no answer within 500 ms" },
        { "silent part way",            silent,         makeImage (1300), shortStall, "nothing arrived for 500 ms" },
        { "no stated end, whole",       unframed,       makeImage (4096), usual, "does not say where its body ends" },
        { "cut short, close_notify",    cutNotified,    makeImage (4096), usual, "does not say where its body ends" },
        { "cut short, TCP end",         cutOff,         makeImage (4096), usual, "does not say where its body ends" },
        { "identity coding, cut short", identityCut,    makeImage (4096), usual, "does not say where its body ends" },
        { "chunks, not the last",       chunksCut,      makeImage (4096), usual, "before its last chunk" },
        { "lower-case status line",     lowerCaseStatus, makeImage (4096), usual, "not HTTP: its status line reads \"http/1.1 404" },
        { "folded first header",        foldedFirst,    makeImage (4096), usual, "folded header" },
        { "control byte in a header",   controlByte,    makeImage (4096), usual, "control byte" },
        { "blank before a colon",       blankBeforeColon, makeImage (4096), usual, "blank before a header's colon" },
        { "text, then a status-like line", typeBeforeStatusLike, makeImage (4096), usual, "with text (text/html)" },
        { "length, status-like, length", lengthBeforeStatusLike, makeImage (4096), usual, "two different Content-Length" },
        { "status-like line, coding",   codingAfterStatusLike, makeImage (4096), usual, "encoded body (gzip)" },
        { "a 100 Continue header",      continueHeader, makeImage (4096), usual, "with text (text/html)" },
        { "an HTTP/2 header",           http2Header,    makeImage (4096), usual, "with text (text/html)" },
        { "second Location blank",      blankSecondLocation, makeImage (4096), usual, "with text (text/html)" },
        // Only the connection time-out ends a next hop that never answers.
        { "status-like line in a 302",  redirectWithStatusLike, makeImage (4096), withConnect (3000), "no answer within 3000 ms" },
    };

    for (const auto& c : cases)
    {
        ScopedTimeLimits caseLimits (c.limits);
        server.addFile (imagePath, c.body);
        server.addFile ("plain/image.bin", c.body);
        server.setAnswer (imagePath, c.answer);

        const auto folder = scratchFolder ("download-refused");
        const auto direct = zorv::FirmwareDownload::downloadToFile (juce::URL (server.getRootUrl() + imagePath),
                                                                     folder.getChildFile ("image.bin"));
        EXPECT_TRUE (direct.getErrorMessage().contains (c.reason)) << c.name << ": " << direct.getErrorMessage();
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0) << c.name;
        folder.deleteRecursively();

        Step4Bench bench (server);
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
