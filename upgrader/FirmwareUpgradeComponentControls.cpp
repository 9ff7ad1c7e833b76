#include "upgrader/FirmwareUpgradeComponent.h"

#include "core/StrCat.h"
#include "platform/MidiOutputPort.h"
#include "platform/MidiPorts.h"
#include "upgrader/DeviceHelpers.h"
#include "upgrader/FirmwareFrames.h"
#include "upgrader/FirmwareUpgrade.h"
#include "upgrader/MidiInputHandler.h"
#include "upgrader/SleepMs.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

#include <cstdlib>
#include <cstring>

namespace zorv
{
namespace
{
    const char* const localFileModeMark = " [M]";

    const char* const buildTag = "a4";
    const char* const companyName = "Zorv Pro Audio";

    const char* const audioMidiSetupSince10_15 = "open /System/Applications/Utilities/Audio\\ MIDI\\ Setup.app";
    const char* const audioMidiSetupBefore10_15 = "open /Applications/Utilities/Audio\\ MIDI\\ Setup.app";
    const char* const audioMidiSetupHelp =
        "After \"Audio MIDI Setup\" opened.\n\n"
        "1. Check \"Show MIDI Studio\" \non \"Window\" pull-down menu, \nat the top task-bar.\n\n"
        "2. Drag the sroll-bar to find out your device\nand click to select it.\nThen turn off your device.\n\n"
        "3. Click \"Remove Device\" (or press Backspace).\n\n"
        "Then turn on your device again. \nThe displaying name of your device \nwill be updated!";
    const char* const audioMidiSetupMissing =
        "\"Audio MIDI Setup\" is only available on macOS.\n\n"
        "To update the displaying name of your device, use the MIDI settings of your system.";

    // The reset keeps to a fixed list: at most this many upgrade-mode ports.
    constexpr int maxUnitsToReset = 11;

    constexpr int resetPaceMs = 1;
    constexpr int resetSettleMs = 50;

    // Sends the reset frame to every output port in upgrade mode, so that no
    // unit is left stuck there. A port that cannot be opened is skipped.
    void resetUnitsInUpgradeMode()
    {
        const auto names = MidiPorts::getOutputNames();
        juce::Array<int> indices;

        // The indices stay those of the full port list, blank names included,
        // so that the port opened is the one whose name was checked.
        for (int i = 0; i < names.size() && indices.size() < maxUnitsToReset; ++i)
            if (names[i].isNotEmpty() && DeviceHelpers::validDeviceName (names[i], false, true))
                indices.add (i);

        for (auto index : indices)
        {
            auto port = MidiPorts::openOutput (index);

            if (port == nullptr)
                continue;

            sendControlFrame (*port, midiReset, [] { pump (resetPaceMs); });
        }

        pump (resetSettleMs);
    }
}

//==============================================================================
FirmwareUpgradeComponent::~FirmwareUpgradeComponent()
{
    resetUnitsInUpgradeMode();
    uploadHandler.reset();
}

bool FirmwareUpgradeComponent::resetAllFwug0()
{
    resetUnitsInUpgradeMode();
    return numberForDevice (DeviceHelpers::fwugPortText, true) == 0;
}

//==============================================================================
void FirmwareUpgradeComponent::buttonClicked (juce::Button* button)
{
    if (button == &stepButtons[0])      doStep1();
    else if (button == &stepButtons[1]) doStep2();
    else if (button == &stepButtons[2]) doStep3();
    else if (button == &stepButtons[3])
    {
        // Step 4's transfers give up on Escape: one pressed before this
        // click must not end them. The automatic chain calls the step
        // directly, so an Escape during its earlier steps still stops it.
        bEsc = false;
        doStep4();
    }
    else if (button == &stepButtons[4]) doStep5();
    else if (button == &nameButton && ! FirmwareUpgrade::isStepProtected())
        openUpdateDeviceNameHelp();

    quitIfDeferredAndIdle();
}

bool FirmwareUpgradeComponent::keyPressed (const juce::KeyPress& key)
{
    const int code = key.getKeyCode();

    if (code == juce::KeyPress::escapeKey)
    {
        giveUp();
    }
    else if (code == 'A')
    {
        bAuto = ! bAuto;
    }
    else if (code == 'M')
    {
        serverFetch = ! serverFetch;
        setWindowTitle (baseTitle() + (bTest_fwug ? testModeMark : "") + (serverFetch ? "" : localFileModeMark));
    }
    else if (code == 'O')
    {
        bForAnyZorv = ! bForAnyZorv;
    }
    else if (code == 'S')
    {
        bSerial = ! bSerial;
        bEsc = false;
    }
    else if (code == 'T')
    {
        bTest_fwug = ! bTest_fwug;
        setWindowTitle (juce::String (wizardTitle) + (bTest_fwug ? testModeMark : ""));
    }
    else if (code == juce::KeyPress::F1Key && ! FirmwareUpgrade::isStepProtected())
    {
        // The About box is modal: opened during a step, it would hold the step.
        showAboutDlg();
    }

    // The A key may have ended auto mode.
    quitIfDeferredAndIdle();

    // Operator keys are noticed, never consumed.
    return juce::Component::keyPressed (key);
}

//==============================================================================
void FirmwareUpgradeComponent::showAboutDlg()
{
    const auto name = juce::String (applicationName).toStdString();
    const auto ver = juce::String (version).toStdString();
    const auto years = juce::String (copyrightYears).toStdString();
    const auto tag = juce::String (buildTag).toUpperCase().toStdString();

    const char* const titleStart = "\n\n";
    const char* const textStart = "\n\n \n";

    auto* title = strcat_0 (titleStart, name.c_str(), "\n\nV", ver.c_str(), "  Build ", tag.c_str(), nullptr);
    auto* text = strcat_0 (textStart, "Copyright (c) ", years.c_str(), " ", companyName, nullptr);

    const auto titleText = juce::String::fromUTF8 (title);
    const auto bodyText = juce::String::fromUTF8 (text);

    if (title != titleStart)
        std::free (title);

    if (text != textStart)
        std::free (text);

    juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::NoIcon, titleText, bodyText);
}

void FirmwareUpgradeComponent::openUpdateDeviceNameHelp()
{
   #if JUCE_MAC
    const bool since10_15 = juce::SystemStats::getOperatingSystemType() >= juce::SystemStats::MacOSX_10_15;

    // The outcome is not checked: the help box below says what to do either way.
    [[maybe_unused]] const int outcome = std::system (since10_15 ? audioMidiSetupSince10_15
                                                                 : audioMidiSetupBefore10_15);

    juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::NoIcon, {}, audioMidiSetupHelp);
   #else
    // The utility exists only on macOS; no shell command is run elsewhere.
    juce::ignoreUnused (audioMidiSetupSince10_15, audioMidiSetupBefore10_15, audioMidiSetupHelp);
    juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::NoIcon, {}, audioMidiSetupMissing);
   #endif
}

//==============================================================================
void FirmwareUpgradeComponent::userTriedToCloseWindow()
{
    // Refused while busy, but taken as the wish to stop: the step at hand
    // ends as soon as it safely can.
    if (FirmwareUpgrade::isBusy())
    {
        giveUp();
        return;
    }

    quit();
}

void FirmwareUpgradeComponent::quit()
{
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->closeButtonPressed();
}

void FirmwareUpgradeComponent::quitIfDeferredAndIdle()
{
    // Steps start from a click on their button, and the automatic chain runs
    // on inside that click: once a handler returns with the wizard idle, no
    // step is left to cut short.
    if (! quitDeferred || FirmwareUpgrade::isBusy())
        return;

    quitDeferred = false;

    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}
}
