#include "tests/support/EmulatedController.h"
#include "tests/support/ForeignFileNames.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/TextSamples.h"
#include "tests/upgrader/WizardHarness.h"
#include "tests/upgrader/WizardUpload.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/MidiInputHandler.h"

// The five steps against the emulated Trevan M, with a stand-in user who
// answers the wizard's dialogs. Steps that open dialogs need an X server.
namespace
{
    using namespace wizard_test;
    using Handler = zorv::FirmwareUpgradeComponent::MidiInputHandler;

    juce::File testFolder()
    {
        auto base = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", QUELT_TEST_BINARY_DIR "/tmp");
        auto dir = juce::File (base).getChildFile ("wizard-steps");
        dir.createDirectory();
        return dir;
    }

    // A firmware image of `size` bytes whose every byte tells its place.
    juce::MemoryBlock imageOf (size_t size)
    {
        juce::MemoryBlock data (size);

        for (size_t i = 0; i < size; ++i)
            data[i] = (char) ((i * 7 + i / 251) & 0xFF);

        return data;
    }

    juce::MemoryBlock writeImage (const juce::File& file, size_t size)
    {
        const auto data = imageOf (size);
        file.replaceWithData (data.getData(), data.getSize());
        return data;
    }

    // A Trevan M already waiting in upgrade mode, as step 2 leaves it.
    EmulatedController::Config trevanMInUpgradeMode()
    {
        auto config = EmulatedController::trevanM();
        config.startsInUpgradeMode = true;
        return config;
    }

    class WizardSteps : public DialogTest
    {
    protected:
        // A handler on the unit's upgrade-mode ports, as step 3 leaves it.
        void openUpgradePorts (zorv::FirmwareUpgradeComponent& wizard)
        {
            wizard.uploadHandler = std::make_unique<Handler> (&wizard, wizard.workingPid);
            wizard.uploadHandler->start ("Zorv firmware upgrade");
            ASSERT_TRUE (wizard.uploadHandler->isInputOpen() && wizard.uploadHandler->isOutputOpen());
        }
    };
}

TEST_F (WizardSteps, MainRoadUpgradesTheTrevanMFromALocalFile)
{
    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    EmulatedController unit (midi, EmulatedController::trevanM());
    WizardInDialog w (117, false);
    auto& wizard = w.wizard;

    wizard.doStep1();
    EXPECT_EQ (wizard.productPort, "Trevan M");
    EXPECT_EQ (w.title(), "Firmware Upgrade: Trevan M");

    wizard.doStep2();
    ASSERT_EQ (wizard.currentStep, 1);
    ASSERT_EQ (unit.upgradeRequests().size(), 1u);
    EXPECT_EQ (unit.upgradeRequests()[0].family, 117);

    wizard.doStep3();
    ASSERT_EQ (wizard.currentStep, 2);
    EXPECT_EQ (wizard.upgradePort, "Zorv firmware upgrade");
    EXPECT_EQ (enabledSteps (wizard), "01110");
    ASSERT_TRUE (wizard.uploadHandler != nullptr);

    // Step 4 starts its chooser at the last firmware file; the user opens it.
    const auto file = testFolder().getChildFile ("trevan_m_v2.17.bin");
    const auto image = writeImage (file, 1300);
    wizard.firmwareFile = file;
    user.preferredButtons = { "Open", "OK" };

    wizard.doStep4();
    ASSERT_EQ (wizard.currentStep, 3);
    EXPECT_EQ (enabledSteps (wizard), "00111");
    EXPECT_EQ (wizard.uploadHandler->getSize(), 1300u);

    wizard.doStep5();
    midi.waitUntilIdle();
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");
    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Success|Your firmware has been upgraded!");

    // Back at the start, the handler kept with its ports closed.
    EXPECT_EQ (wizard.currentStep, -1);
    EXPECT_EQ (enabledSteps (wizard), "10000");
    EXPECT_EQ (wizard.progressLabel.getText(), "Firmware Upgrade");
    EXPECT_TRUE (wizard.productPort.isEmpty() && wizard.upgradePort.isEmpty());
    EXPECT_FALSE (wizard.uploadHandler->isInputOpen());
    EXPECT_EQ (w.title(), "Firmware Upgrade");
}

TEST_F (WizardSteps, ANextUnitOfAnotherProductIsErasedAndCheckedAsItsOwnProduct)
{
    // The Wexel Pro X erases with 71, the Trevan M with 70.
    auto config = EmulatedController::trevanM();
    config.productId = zorv::Product::WexelProX;
    config.portName = "Wexel Pro X";
    config.requestFamily = zorv::Product::WexelProX;
    config.eraseArgument = 0x71;
    config.rebootsAfterReset = false;
    EmulatedController unit (midi, config);

    WizardInDialog w (117, false);
    auto& wizard = w.wizard;

    // A Trevan M was upgraded first: its handler stays, with its image.
    wizard.uploadHandler = std::make_unique<Handler> (&wizard, 117);
    const auto earlier = testFolder().getChildFile ("trevan_m_earlier.bin");
    writeImage (earlier, 700);
    wizard.uploadHandler->openProgram (earlier);

    wizard.doStep1();
    ASSERT_EQ (wizard.workingPid, zorv::Product::WexelProX);
    wizard.doStep2();
    ASSERT_EQ (wizard.currentStep, 1);
    wizard.doStep3();
    ASSERT_EQ (wizard.currentStep, 2);
    EXPECT_EQ (wizard.uploadHandler->getPid(), zorv::Product::WexelProX);

    const auto file = testFolder().getChildFile ("wexel_pro_x_v1.bin");
    const auto image = writeImage (file, 1024);
    EXPECT_TRUE (wizard.acceptLocalFirmwareFile (file));

    wizard.doStep5();
    midi.waitUntilIdle();
    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Success|Your firmware has been upgraded!");
    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_TRUE (unit.violations().isEmpty()) << unit.violations().joinIntoString ("\n");

    // The same product again keeps its handler.
    auto* handler = wizard.uploadHandler.get();
    wizard.goonStep1 (zorv::Product::WexelProX);
    EXPECT_EQ (wizard.uploadHandler.get(), handler);
}

TEST_F (WizardSteps, Step1RefusesASecondUnitOfTheSameModel)
{
    EmulatedController first (midi, EmulatedController::trevanM()), second (midi, EmulatedController::trevanM());
    WizardInDialog w;

    w.wizard.doStep1();
    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade|Connect ONLY the device you want to update.");
    EXPECT_EQ (w.wizard.currentStep, -1);
}

TEST_F (WizardSteps, Step1AcceptsAnotherModelOnlyInAnyProductMode)
{
    EmulatedController unit (midi, EmulatedController::trevanX());
    WizardInDialog w (117, true);

    // The wizard sets the mode on when it opens; O turns it off.
    EXPECT_FALSE (w.wizard.keyPressed (juce::KeyPress ('O')));
    w.wizard.doStep1();
    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade|The current Quelt cannot upgrade for this device.");
    EXPECT_EQ (w.wizard.currentStep, -1);

    EXPECT_FALSE (w.wizard.keyPressed (juce::KeyPress ('O')));
    w.wizard.doStep1();
    EXPECT_EQ (user.alerts.size(), 1);
    EXPECT_EQ (w.wizard.currentStep, 0);
    EXPECT_EQ (w.wizard.workingPid, 118);
    EXPECT_EQ (w.title(), "Firmware Upgrade: Trevan X");
}

TEST_F (WizardSteps, Step1OffersToResetUnitsAlreadyInUpgradeMode)
{
    // A product port first, so the wait ends at once and the picker takes it.
    EmulatedController other (midi, EmulatedController::trevanX());
    EmulatedController stuck (midi, trevanMInUpgradeMode());
    WizardInDialog w;

    // The wizard's catalogue mode returns to the one it was opened with.
    EXPECT_FALSE (w.wizard.keyPressed (juce::KeyPress ('M')));

    user.preferredButtons = { "No", "OK" };
    w.wizard.doStep1();
    EXPECT_TRUE (w.wizard.serverFetch);
    ASSERT_EQ (user.alerts.size(), 1);
    EXPECT_EQ (user.alerts[0], "Firmware Upgrade|It looks like some of your units are already in firmware upgrade mode. \n"
                               " Do you want to let them leave firmware upgrade mode?");
    EXPECT_EQ (w.wizard.currentStep, -1);
    EXPECT_TRUE (stuck.commands().empty());

    user.preferredButtons = { "Yes", "OK" };
    w.wizard.doStep1();
    midi.waitUntilIdle();
    EXPECT_EQ (user.alerts.size(), 2);
    EXPECT_EQ (user.warnings, 0);
    EXPECT_EQ (w.wizard.currentStep, -1);
    ASSERT_EQ (stuck.commands().size(), 1u);
    EXPECT_EQ (stuck.commands()[0], EmulatedController::Command::reset);
}

TEST_F (WizardSteps, Step2GivesUpSilentlyAfterThreeRequestsOrAtEscape)
{
    auto config = EmulatedController::trevanM();
    config.entersUpgradeMode = false;
    EmulatedController unit (midi, config);

    for (const bool escape : { false, true })
    {
        WizardInDialog w;
        w.wizard.productPort = "Trevan M";

        // The key arrives while the step waits for the unit; it ends the step at its next check.
        if (escape)
            juce::MessageManager::callAsync ([&w] { w.wizard.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); });

        w.wizard.doStep2();
        EXPECT_EQ (unit.upgradeRequests().size(), escape ? 4u : 3u);
        EXPECT_EQ (w.wizard.currentStep, 0);
        EXPECT_EQ (enabledSteps (w.wizard), "11000");
        EXPECT_TRUE (user.alerts.isEmpty());
        EXPECT_FALSE (zorv::protectUiQ);
    }
}

TEST_F (WizardSteps, Step2OnAnUpgradeModePortSendsNothing)
{
    EmulatedController unit (midi, trevanMInUpgradeMode());
    WizardInDialog w;
    w.wizard.productPort = "Zorv firmware upgrade manager";

    w.wizard.doStep2();
    midi.waitUntilIdle();
    EXPECT_EQ (w.wizard.currentStep, 1);
    EXPECT_TRUE (unit.upgradePorts().getReceived().empty());
}

TEST_F (WizardSteps, Step2SendsEachModelTheRequestFormsItListensFor)
{
    // The 9-byte request, the 8-byte one, or both 2 ms apart; product ids
    // next to the range that gets both, for its edges.
    struct Case { int pid; std::vector<int> lengths; };
    const Case cases[] = { { 26, { 8 } }, { 81, { 8 } }, { 100, { 9 } }, { 101, { 9, 8 } },
                           { 104, { 9, 8 } }, { 105, { 9 } }, { 117, { 9 } }, { 118, { 9 } } };

    for (const auto& c : cases)
    {
        VirtualMidiSystem ports;
        ScopedMidiSystem portScope (ports);
        auto config = EmulatedController::trevanM();
        config.productId = c.pid;
        config.portName = "Unit " + juce::String (c.pid);
        config.requestFamily = zorv::Product::requestFamily (c.pid);
        config.entersUpgradeMode = false;
        EmulatedController unit (ports, config);

        WizardInDialog w (c.pid, true);
        w.wizard.productPort = config.portName;

        // Esc, handled at the step's first pause, ends it at its first check:
        // one attempt.
        zorv::bEsc = false;
        juce::MessageManager::callAsync ([&w] { w.wizard.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); });
        w.wizard.doStep2();
        ports.waitUntilIdle();

        std::vector<int> lengths;

        for (const auto& request : unit.upgradeRequests())
            lengths.push_back (request.length);

        EXPECT_EQ (lengths, c.lengths) << c.pid;
        EXPECT_TRUE (unit.violations().isEmpty()) << c.pid << ": " << unit.violations().joinIntoString ("\n");
    }
}

TEST_F (WizardSteps, Step3ReportsAPortThatCannotBeOpened)
{
    EmulatedController unit (midi, trevanMInUpgradeMode());
    unit.upgradePorts().setOpenFails (true);
    WizardInDialog w;
    w.wizard.updateProgress (1);

    w.wizard.doStep3();
    EXPECT_EQ (user.alerts.joinIntoString ("\n"),
               "Midi Device|Could not open the selected MIDI input device: Zorv firmware upgrade");
    EXPECT_EQ (w.wizard.currentStep, 1);
    EXPECT_EQ (enabledSteps (w.wizard), "11100");
}

TEST_F (WizardSteps, Step3TellsTheTwoAirModelsApartByTheirPortName)
{
    struct Case { const char* port; int expected; };
    const Case cases[] = { { "Zorv firmware upgrade 1.0", 186 },
                           { "Zorv firmware upgrade 2.1", 2052 },
                           { "Zorv firmware upgrade", 2052 } };

    for (const auto& c : cases)
    {
        VirtualMidiSystem ports;
        ScopedMidiSystem portScope (ports);
        ports.addDevice (c.port, c.port);

        WizardInDialog w (2052, true);
        w.wizard.doStep3();

        EXPECT_EQ (w.wizard.currentStep, 2) << c.port;
        EXPECT_EQ (w.wizard.workingPid, c.expected) << c.port;
        EXPECT_EQ (w.wizard.selectedPid, c.expected) << c.port;
        EXPECT_EQ (w.wizard.uploadHandler->getPid(), 2052) << c.port;
    }

    // Other products keep their id whatever the port is called.
    midi.addDevice ("Zorv firmware upgrade 1.0", "Zorv firmware upgrade 1.0");
    WizardInDialog w (117, true);
    w.wizard.doStep3();
    EXPECT_EQ (w.wizard.workingPid, 117);
}

TEST_F (WizardSteps, Step4RefusesAFileOfAnotherProductOrThatIsNoImageAndAutoModeGoesNoFurther)
{
    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    // Long enough for the upload, and named for the product: a hex listing
    // saved under the image's name, and other text in other encodings.
    const auto listing = text_samples::utf8 (juce::String::repeatedString ("10 00 00 20 C1 01 00 08\r\n", 40));
    const auto portal = text_samples::utf8 ("<!DOCTYPE html>\n<html><body>Sign in to the network</body></html>\n"
                                            + juce::String::repeatedString (" ", 1000));
    const juce::String text ("Load File|This is a text file, not a firmware file!");

    struct Case { const char* name; juce::MemoryBlock bytes; juce::String alert; };
    const Case cases[] = {
        { "trevan_x_v1.bin",        imageOf (600),                                          "Load File|Not the matching firmware!" },
        { "trevan_m_listing.bin",   listing,                                                text },
        { "trevan_m_json.bin",      text_samples::jsonErrorWithAccents(),                   text },
        { "trevan_m_notes.bin",     text_samples::latin1ReleaseNotes(),                     text },
        { "trevan_m_page.bin",      text_samples::utf16LittleEndianPageWithoutMark(),       text },
        { "trevan_m_padded.bin",    text_samples::asciiTextPaddedWithNuls(),                text },
        { "trevan_m_portal.bin",    portal,                                                 "Load File|This is a web page, not a firmware file!" },
        { "trevan_m_short.bin",     imageOf (Handler::minImageSize - 1),                    "Load File|This file is too short for a firmware file!" },
        { "trevan_m_long.bin",      imageOf (Handler::maxImageSize),                        "Load File|This file is too long for a firmware file!" },
        { "trevan_m_empty.bin",     {},                                                     "Load File|This file is empty or cannot be read!" },
    };

    for (const auto& c : cases)
    {
        WizardInDialog w (117, false);
        w.wizard.updateProgress (2);
        const auto file = testFolder().getChildFile (c.name);
        file.deleteFile();
        ASSERT_TRUE (file.create() && file.appendData (c.bytes.getData(), c.bytes.getSize())) << c.name;

        // The chooser starts at the file; the user opens it. Step 5 would say
        // that no port is open.
        w.wizard.firmwareFile = file;
        user.alerts.clear();
        user.warnings = 0;
        user.preferredButtons = { "Open", "OK" };
        bAuto = true;
        w.wizard.doStep4();

        EXPECT_EQ (user.alerts.joinIntoString ("\n"), c.alert) << c.name;
        EXPECT_EQ (user.warnings, 1) << c.name;
        EXPECT_EQ (w.wizard.currentStep, 2) << c.name;
        EXPECT_EQ (w.wizard.uploadHandler->getSize(), 0u) << c.name;
    }
}

TEST_F (WizardSteps, Step4sChooserBrowsesAFolderOfNamesThatAreNotUtf8)
{
    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    // The chooser starts at the last firmware file, here beside names that
    // JUCE's own chooser overran the heap with when it listed them.
    const auto folder = testFolder().getChildFile ("foreign-names");
    foreign_names::removeFolder (folder);
    ASSERT_TRUE (folder.createDirectory());
    auto names = foreign_names::names (".bin");
    foreign_names::createIn (folder, names);
    const auto last = folder.getChildFile ("trevan_m_v2.17.bin");
    writeImage (last, 600);
    names.push_back (last.getFileName().toStdString());
    std::sort (names.begin(), names.end());

    WizardInDialog w (117, false);
    w.wizard.updateProgress (2);
    w.wizard.firmwareFile = last;
    foreign_names::ChooserListing listing;
    user.preferredButtons = { "Cancel" };
    user.leaveAlone = [&listing] (juce::Component& modal) { return listing.stillListing (modal); };
    w.wizard.doStep4();
    foreign_names::removeFolder (folder);

    EXPECT_EQ (foreign_names::bytesOf (listing.files), names);
    EXPECT_EQ (user.windows, juce::StringArray ({ "Choose The Firmware File" }));
    EXPECT_TRUE (user.alerts.isEmpty()) << user.alerts.joinIntoString ("\n");
    EXPECT_EQ (w.wizard.currentStep, 2);
}

TEST_F (WizardSteps, Step4FallsBackToTheFileChooserWhenTheServerIsUnreachable)
{
    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    const auto root = zorv::FirmwareServer::getRootUrl();
    zorv::FirmwareServer::setRootUrl ("https://127.0.0.1:9/");

    WizardInDialog w;
    user.preferredButtons = { "Cancel" };
    w.wizard.doStep4();
    zorv::FirmwareServer::setRootUrl (root);

    EXPECT_TRUE (user.alerts.isEmpty());
    EXPECT_EQ (w.wizard.currentStep, 2);
    EXPECT_TRUE (w.wizard.catalogue.hasType ("firmwares"));

    // The step is over: a second one may start.
    w.wizard.doStep4();
    EXPECT_EQ (user.windows.size(), 2);
}

TEST_F (WizardSteps, Step5ShowsTheUploadsFailureAndStartsOver)
{
    WizardInDialog w;
    w.wizard.updateProgress (3);

    w.wizard.doStep5();
    EXPECT_EQ (user.alerts.joinIntoString ("\n"), "Firmware Upgrade Error|No MIDI input device is open");
    EXPECT_EQ (user.warnings, 1);
    EXPECT_EQ (w.wizard.currentStep, -1);
    EXPECT_FALSE (zorv::protectUiQ);
}

TEST_F (WizardSteps, Step5PausesTheUploadAfterEverySecondMessage)
{
    EmulatedController unit (midi, trevanMInUpgradeMode());
    PacingLog pacing { unit.upgradePorts() };
    WizardInDialog w;
    openUpgradePorts (w.wizard);
    const auto file = testFolder().getChildFile ("trevan_m_paced.bin");
    const auto image = writeImage (file, 1300);
    w.wizard.uploadHandler->openProgram (file);
    w.wizard.updateProgress (3);

    w.wizard.doStep5();
    midi.waitUntilIdle();
    ASSERT_EQ (unit.imageMismatch (image), "");
    ASSERT_EQ (unit.upgradePorts().getNumReceived(), (size_t) (3 * 18 + 3 * 530));

    // Messages counted from 1 (the connect frame's marker) through every
    // frame: a pause of 1 ms follows each even-numbered one, and nothing
    // else runs the message loop inside a frame.
    EXPECT_EQ (pacing.problems (WizardUpload::frameSizes()), "");
}

TEST_F (WizardSteps, SerialAutoRunEndsAtItsTwentiethSuccess)
{
    EmulatedController unit (midi, trevanMInUpgradeMode());
    WizardInDialog w;
    openUpgradePorts (w.wizard);

    const auto file = testFolder().getChildFile ("trevan_m_serial.bin");
    const auto image = writeImage (file, 512);
    w.wizard.uploadHandler->openProgram (file);

    bAuto = bSerial = true;
    zorv::_num_UpgradeSuccess = 19;
    w.wizard.doStep5();
    midi.waitUntilIdle();

    EXPECT_EQ (unit.imageMismatch (image), "");
    EXPECT_TRUE (user.alerts.isEmpty());
    EXPECT_EQ (zorv::_num_UpgradeSuccess, 0);
    EXPECT_EQ (w.wizard.currentStep, -1);
    EXPECT_TRUE (user.windows.isEmpty());
}
