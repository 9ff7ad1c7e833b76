#include "upgrader/FirmwareUpgradeComponent.h"

#include "core/Messages.h"
#include "platform/FixedSizeDialog.h"
#include "platform/MidiOutputPort.h"
#include "platform/MidiPorts.h"
#include "upgrader/DeviceHelpers.h"
#include "upgrader/DeviceSelectComponent.h"
#include "upgrader/FirmwareDownload.h"
#include "upgrader/FirmwareImage.h"
#include "upgrader/FirmwareSelectComponent.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/Product.h"
#include "upgrader/SleepMs.h"
#include "upgrader/UpgradeRequest.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

namespace zorv
{
namespace
{
    const char* const deviceDialogTitle = "Choose Your Zorv Device";
    const char* const firmwareDialogTitle = "Firmware Version";
    const char* const fileChooserTitle = "Choose The Firmware File";
    const char* const firmwarePattern = "*.bin";

    const char* const connectOnlyOne = "Connect ONLY the device you want to update.";
    const char* const maybeNotUpgradable = "This device may be not able to be upgraded by this software.";
    const char* const otherProduct = "The current Quelt cannot upgrade for this device.";
    const char* const askToLeaveUpgradeMode =
        "It looks like some of your units are already in firmware upgrade mode. \n"
        " Do you want to let them leave firmware upgrade mode?";
    const char* const stillInUpgradeMode =
        "It looks like your device is still in firmware upgrade mode. \n"
        "Please turn off and turn on the device and try again.";

    const char* const step3Title = "Step 3";
    const char* const selectUpgradePort = "Please select the unit \"Zorv firmware upgrade\"";
    const char* const midiDeviceTitle = "Midi Device";
    const char* const couldNotOpenPort = "Could not open the selected MIDI input device: ";

    const char* const downloadTitle = "Firmware Download";
    const char* const downloadFailed = "Could not download firmware file";
    const char* const loadFileTitle = "Load File";
    const char* const notMatching = "Not the matching firmware!";
    const char* const unreadable = "This file is empty or cannot be read!";
    const char* const tooShort = "This file is too short for a firmware file!";
    const char* const tooLong = "This file is too long for a firmware file!";
    const char* const webPageNotFirmware = "This is a web page, not a firmware file!";
    const char* const textNotFirmware = "This is a text file, not a firmware file!";

    const char* const successTitle = "Firmware Upgrade Success";
    const char* const successText = "Your firmware has been upgraded!";
    const char* const uploadErrorTitle = "Firmware Upgrade Error";
    const char* const idleStatus = "Firmware Upgrade";

    // Step 1 waits for a product port in passes of polls, one second apart.
    constexpr int productWaitPasses = 3;
    constexpr int productWaitPassesAuto = 4;
    constexpr int pollsPerPass = 5;
    constexpr int pollIntervalMs = 1000;

    // Step 2: attempts of one request each, then checks of a few pumps each.
    constexpr int requestAttempts = 3;
    constexpr int checksPerAttempt = 8;
    constexpr int pumpsPerCheck = 5;
    constexpr int pumpMs = 100;
    constexpr int secondRequestDelayMs = 2;
    constexpr int shortRequestLength = 8;

    // Step 3: the two Air models share their upgrade-mode ports and tell
    // themselves apart by the digit in front of the first dot of the name.
    constexpr int airPid = 186;
    constexpr int airRxPid = 2052;

    // Step 5's pauses around the upload, so that the unit can restart and the
    // user can see the outcome before the wizard starts over.
    constexpr int afterUploadMs = 800;
    constexpr int afterSuccessMs = 600;
    constexpr int beforeResetMs = 300;
    constexpr int afterResetMs = 600;

    // Step 3: a moment for the pickers' port lists, and for the ports opened.
    constexpr int beforeDeviceDialogMs = 50;
    constexpr int afterPortsOpenedMs = 10;

    constexpr int connectButton = 0;
    constexpr int enterButton = 1;

    void showInfo (const juce::String& title, const juce::String& text)
    {
        juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::InfoIcon, title, text);
    }

    void showWarning (const juce::String& title, const juce::String& text)
    {
        juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::WarningIcon, title, text);
    }

    int countUpgradeModePorts()
    {
        return FirmwareUpgradeComponent::numberForDevice (DeviceHelpers::fwugPortText, true);
    }

    // Product ports among the input ports, as step 1's wait sees them.
    int countProductInputPorts()
    {
        int count = 0;

        for (const auto& name : DeviceHelpers::getDeviceNames0 (false))
            if (DeviceHelpers::validDeviceName (name, true, bTest_fwug))
                ++count;

        return count;
    }

    // Runs `content` in a modal dialog that does not own it; true when the
    // user confirmed (the content ended the loop with 1). The dialog goes
    // before the caller's content does, also when the application quits in
    // the middle of the loop, so it never holds a picker that is gone.
    bool runPickerDialog (juce::Component& content, const juce::String& title, juce::Component* centreAround)
    {
        FixedSizeDialog dialog ({ title, centreAround }, content);
        return dialog.runModalLoop() == 1;
    }

    // Sends the upgrade-mode request for `pid` the way its model expects it.
    void sendUpgradeRequest (MidiOutputPort& port, int pid)
    {
        port.sendMessageNow (Messages::frameMarker());

        if (pid == Product::Fennics || pid == Product::Dovra)
            port.sendMessageNow (makeFirmwareUpgradeRequestX (pid, shortRequestLength));
        else
            port.sendMessageNow (makeFirmwareUpgradeRequest (pid));

        // These models listen for the short form as well.
        if (pid >= Product::Lortan3 && pid <= Product::Lortan6)
        {
            pump (secondRequestDelayMs);
            port.sendMessageNow (Messages::frameMarker());
            port.sendMessageNow (makeFirmwareUpgradeRequestX (pid, shortRequestLength));
        }
    }

    // Asks the unit behind `port` to enter upgrade mode until its upgrade-mode
    // port appears; false after the last attempt or on Esc.
    bool requestUpgradeMode (MidiOutputPort& port, int pid)
    {
        for (int attempt = 0; attempt < requestAttempts; ++attempt)
        {
            pump (pumpMs);
            sendUpgradeRequest (port, pid);

            for (int check = 0; check < checksPerAttempt; ++check)
            {
                for (int i = 0; i < pumpsPerCheck; ++i)
                    pump (pumpMs);

                if (countUpgradeModePorts() > 0)
                    return true;

                if (bEsc)
                    return false;
            }
        }

        return false;
    }

    // The digit in front of the first "." of the name, 0 when there is none.
    int digitBeforeFirstDot (const juce::String& name)
    {
        const int dot = name.indexOfChar ('.');

        if (dot <= 0)
            return 0;

        const auto c = name[dot - 1];
        return juce::CharacterFunctions::isDigit (c) ? (int) (c - '0') : 0;
    }

    // Step 4's words for a local file that is no firmware image.
    const char* refusalOf (FirmwareImage::Verdict verdict)
    {
        switch (verdict)
        {
            case FirmwareImage::Verdict::tooShort:  return tooShort;
            case FirmwareImage::Verdict::tooLong:   return tooLong;
            case FirmwareImage::Verdict::webPage:   return webPageNotFirmware;
            case FirmwareImage::Verdict::text:      return textNotFirmware;
            case FirmwareImage::Verdict::image:     break;
        }

        return "";
    }
}

//==============================================================================
bool FirmwareUpgradeComponent::runDeviceDialog (juce::String& chosenName, const juce::String& targetName)
{
    DeviceSelectComponent picker (workingPid, targetName);

    if (! runPickerDialog (picker, deviceDialogTitle, this))
        return false;

    chosenName = picker.selectedName;
    return true;
}

//==============================================================================
void FirmwareUpgradeComponent::doStep1()
{
    serverFetch = serverFetchAtOpen;
    productPort = {};
    bEsc = false;
    resetProgress();
    protectUI (true);

    const int numPolls = (bAuto ? productWaitPassesAuto : productWaitPasses) * pollsPerPass;

    for (int poll = 1; poll <= numPolls; ++poll)
    {
        if (countProductInputPorts() > 0 || bEsc)
            break;

        sleep_ms (pollIntervalMs);
        SetTitle (juce::String::formatted ("(%d)", poll), false);
    }

    if (bResetTitle)
        SetTitle ({}, false);

    protectUI (false);
    resetProgress();

    juce::String chosen;

    if (! runDeviceDialog (chosen, {}))
    {
        SetTitle ({}, false);
        resetProgress();
        return;
    }

    productPort = chosen;
    const int pid = Product::pidFromDeviceName (productPort);
    selectedPid = workingPid = pid;

    const int upgradePorts = countUpgradeModePorts();

    if (! Product::validPID (pid))
    {
        if (productPort.containsIgnoreCase (DeviceHelpers::fwugPortText))
        {
            if (! bTest_fwug)
                askToResetUnitsInUpgradeMode();
            else if (upgradePorts < 2)
                goonStep1 (bForAnyZorv ? pidBeforeAirRemap : ctorPid);
            else
                showInfo (wizardTitle, connectOnlyOne);
        }
        else if (bTest_fwug && DeviceHelpers::isGenericZorvPortName (productPort))
        {
            goonStep1 (ctorPid);
        }
        else
        {
            showInfo (wizardTitle, "\"" + productPort + "\"\n" + maybeNotUpgradable);
        }

        return;
    }

    if (upgradePorts > 0)
    {
        askToResetUnitsInUpgradeMode();
        return;
    }

    const bool onlyOneUnit = numberForDevice (productPort, true) < 2;

    if (! bForAnyZorv && selectedPid != ctorPid)
        showInfo (wizardTitle, otherProduct);
    else if (! onlyOneUnit)
        showInfo (wizardTitle, connectOnlyOne);
    else
        goonStep1 (bForAnyZorv ? selectedPid : ctorPid);
}

void FirmwareUpgradeComponent::askToResetUnitsInUpgradeMode()
{
    if (! bAuto
        && ! juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::InfoIcon, wizardTitle,
                                                 askToLeaveUpgradeMode, "Yes", "No"))
        return;

    if (! resetAllFwug0())
        showWarning (wizardTitle, stillInUpgradeMode);
}

//==============================================================================
void FirmwareUpgradeComponent::doStep2()
{
    updateProgress (0);
    const auto names = MidiPorts::getOutputNames();
    protectUI (true);
    pump (pumpMs);

    const int index = names.indexOf (DeviceHelpers::convFwugMan (productPort), false);
    auto port = index >= 0 ? MidiPorts::openOutput (index) : nullptr;
    bool inUpgradeMode = false;

    if (port != nullptr && names[index].containsIgnoreCase (DeviceHelpers::fwugPortText))
        inUpgradeMode = true;
    else if (port != nullptr)
        inUpgradeMode = requestUpgradeMode (*port, workingPid);
    else
        inUpgradeMode = countUpgradeModePorts() > 0;

    port.reset();
    protectUI (false);

    if (inUpgradeMode)
    {
        updateProgress (1);

        if (bAuto)
            doStep3();

        return;
    }

    updateProgress (bTest_fwug && DeviceHelpers::isGenericZorvPortName (productPort) ? 1 : 0);
}

//==============================================================================
void FirmwareUpgradeComponent::doStep3()
{
    updateProgress (1);
    disableConnectAndEnter();
    protectUI (true);
    pump (beforeDeviceDialogMs);
    makeUploadHandlerIfNone();

    juce::String chosen;
    const bool confirmed = runDeviceDialog (chosen, DeviceHelpers::fwugPortText);

    protectUI (false);
    updateProgress (1);

    if (! confirmed)
    {
        updateProgress (1);
        stepButtons[connectButton].setEnabled (true);
        return;
    }

    upgradePort = DeviceHelpers::convFwugMan (chosen);

    // In test mode outside auto mode a generic port of the maker's is taken too.
    if (! DeviceHelpers::isFwugPortName (upgradePort))
    {
        showWarning (step3Title, selectUpgradePort);
        updateProgress (1);
        stepButtons[connectButton].setEnabled (true);
    }
    else
    {
        if (workingPid == airPid || workingPid == airRxPid)
        {
            pidBeforeAirRemap = workingPid;
            workingPid = selectedPid = digitBeforeFirstDot (upgradePort) == 1 ? airPid : airRxPid;
        }

        uploadHandler->start (upgradePort);
        pump (afterPortsOpenedMs);

        if (uploadHandler->isInputOpen() && uploadHandler->isOutputOpen())
        {
            updateProgress (2);
            stepButtons[connectButton].setEnabled (false);
        }
        else
        {
            showInfo (midiDeviceTitle, couldNotOpenPort + upgradePort);
            updateProgress (1);
            stepButtons[connectButton].setEnabled (true);
        }
    }

    if (bAuto)
        doStep4();
}

//==============================================================================
void FirmwareUpgradeComponent::doStep4()
{
    static bool recursionCheck = false;

    if (recursionCheck && ! bAuto)
        return;

    updateProgress (2);
    disableConnectAndEnter();
    makeUploadHandlerIfNone();
    recursionCheck = ! recursionCheck;

    bool imageLoaded = false;

    if (! serverFetch || ! loadFromCatalogue (imageLoaded))
        loadFromLocalFile (imageLoaded);

    if (bAuto && ! bEsc && imageLoaded)
        doStep5();

    recursionCheck = ! recursionCheck;
}

bool FirmwareUpgradeComponent::loadFromCatalogue (bool& imageLoaded)
{
    // A catalogue that cannot be fetched is not reported: the user can still
    // open a file of their own, which the caller offers next. The fetch keeps
    // the loop running while it waits for the server, so the steps are locked
    // meanwhile, as for the download.
    catalogue = juce::ValueTree (catalogueType);
    protectUI (true);
    Product::fetchAvailableFirmwares (selectedPid, catalogue);
    protectUI (false);
    updateProgress (2);
    disableConnectAndEnter();

    // Given up during the fetch: the user asked to stop, not for a file
    // chooser, and a quit put off meanwhile should not wait for one.
    if (bEsc)
        return true;

    if (catalogue.getNumChildren() == 0)
        return false;

    FirmwareSelectComponent picker (catalogue);

    if (! runPickerDialog (picker, firmwareDialogTitle, this))
        return true;

    // The image is read into memory before the step ends, and the download
    // goes with the step.
    juce::TemporaryFile download;
    firmwareFile = download.getFile();
    const auto url = picker.getDownloadUrl();
    protectUI (true);

    const auto result = FirmwareDownload::downloadToFile (url, firmwareFile);

    protectUI (false);
    updateProgress (2);

    if (result.failed())
    {
        showWarning (downloadTitle, downloadFailed);
        return true;
    }

    loadFirmwareImage();
    imageLoaded = true;
    return true;
}

void FirmwareUpgradeComponent::loadFromLocalFile (bool& imageLoaded)
{
    juce::FileChooser chooser (fileChooserTitle, firmwareFile, firmwarePattern);

    if (! chooser.browseForFileToOpen())
        return;

    imageLoaded = acceptLocalFirmwareFile (chooser.getResult());
}

bool FirmwareUpgradeComponent::acceptLocalFirmwareFile (const juce::File& file)
{
    makeUploadHandlerIfNone();
    firmwareFile = file;

    const auto name = firmwareFile.getFileNameWithoutExtension().toLowerCase().trim();

    if (! isValidFmwName (name, (unsigned int) uploadHandler->getPid()))
    {
        showWarning (loadFileTitle, notMatching);
        return false;
    }

    // The bytes checked are the ones the upload sends: the file is read
    // once, and checked as a download is. Nothing of a refused file stays
    // for step 5.
    uploadHandler->openProgram (firmwareFile);
    const auto size = uploadHandler->getSize();
    const auto verdict = FirmwareImage::check (uploadHandler->getImage(), size);

    if (verdict != FirmwareImage::Verdict::image)
    {
        uploadHandler->openProgram ({});
        showWarning (loadFileTitle, size == 0 ? unreadable : refusalOf (verdict));
        return false;
    }

    imageInMemory();
    return true;
}

// Step 4 is done once the image is in memory, from the server or a file.
void FirmwareUpgradeComponent::loadFirmwareImage()
{
    uploadHandler->openProgram (firmwareFile);
    imageInMemory();
}

void FirmwareUpgradeComponent::imageInMemory()
{
    updateProgress (3);
    disableConnectAndEnter();
}

void FirmwareUpgradeComponent::disableConnectAndEnter()
{
    // Steps 3 to 5 keep the user from starting over with another unit, or
    // asking this one again to enter upgrade mode, while they work on it.
    stepButtons[connectButton].setEnabled (false);
    stepButtons[enterButton].setEnabled (false);
}

//==============================================================================
void FirmwareUpgradeComponent::doStep5()
{
    updateProgress (3);
    disableConnectAndEnter();
    makeUploadHandlerIfNone();

    if (auto* top = getTopLevelComponent())
        top->toFront (true);

    if (isShowing())
        grabKeyboardFocus();

    juce::Desktop::setScreenSaverEnabled (false);
    protectUI (true);

    const auto result = uploadHandler->sendProgram();
    uploadHandler->stop();
    sleep_ms (afterUploadMs);

    protectUI (false);
    juce::Desktop::setScreenSaverEnabled (true);
    progressLabel.setText (idleStatus, juce::dontSendNotification);

    if (result.wasOk())
    {
        if (! bAuto)
            showInfo (successTitle, successText);

        sleep_ms (afterSuccessMs);
        updateProgress (4);
    }
    else
    {
        showWarning (uploadErrorTitle, result.getErrorMessage());
    }

    SetTitle ({}, false);
    sleep_ms (beforeResetMs);
    resetProgress();
    sleep_ms (afterResetMs);
    productPort = {};
    upgradePort = {};
    progressLabel.setText (idleStatus, juce::dontSendNotification);

    if (bAuto && bSerial && ! bEsc)
    {
        if (_num_UpgradeSuccess < serialTarget)
            doStep1();
        else
            _num_UpgradeSuccess = 0;
    }
}
}
