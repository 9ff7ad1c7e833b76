#include "upgrader/FirmwareUpgradeComponent.h"

#include "upgrader/MidiInputHandler.h"
#include "upgrader/Product.h"
#include "upgrader/WizardFlags.h"
#include "upgrader/WizardTexts.h"

#include <algorithm>

namespace zorv
{
namespace
{
    const char* const serialCountFormat = "[%d/%d]";

    const char* const stepCaptions[FirmwareUpgradeComponent::numSteps] =
        { "Connect", "Enter", "Activate", "Select Version", "Upgrade" };
    const char* const loadFileCaption = "Load File";

    // Steps 1, 2, 3 and 5 name their own button in their explanation.
    struct CaptionedText
    {
        const char* prefix;
        const char* suffix;
    };

    const CaptionedText captionedDescriptions[FirmwareUpgradeComponent::numSteps] =
    {
        { "Please connect your Zorv device and click \"", "\" button to create the connection." },
        { "Click \"", "\" button to enter into \"Firmware upgrade mode\"." },
        { "Click \"", "\" button to activate the \"Firmware upgrade mode\"." },
        { nullptr, nullptr },
        { "Click \"", "\" to start the file upload process." }
    };

    const char* const catalogueDescription =
        "Click \"Select Version\", the process will automatically \nsearch for the most up to date "
        "firmware for your device \nat our server.";
    const char* const makerWebSite = "www.zorvproaudio.com";
    const char* const localFileDescriptionPrefix = "Download the latest firmware on \"";
    const char* const localFileDescriptionSuffix =
        "\", then click the \"Load File\" button to browse the firmware file.";

    const char* const noteCaption = "Note:";
    const char* const noteDescription =
        "If your connected Zorv product model name does not appear on the pull-down menu, "
        "select \"USB Audio Device\" as the MIDI In/Out device";

    const char* const nameButtonCaption = "Update Device Name";
    const char* const nameButtonTooltip = "Click here to update the displaying name of your device.";
    const char* const progressCaption = "Upgrade Progress";

    // Products whose models are looked up in the special table.
    const int specialTableProducts[] = { 157, 158, 171, 186, 187, 2050, 2052 };

    constexpr int wizardWidth = 514;
    constexpr int wizardHeight = 491;

    // Layout, in pixels.
    constexpr int labelHeight = 20;
    constexpr int barInset = 40;
    constexpr int barY = 36;
    constexpr int barHeight = 24;
    constexpr int stepSpacing = 96;
    constexpr int stepWidth = 90;
    constexpr int columnOffset = 240;
    constexpr int rowLabelWidth = 70;
    constexpr int rowTextOffset = 164;
    constexpr int rowTextHeight = 50;
    constexpr int rowGap = 6;
    constexpr int nameButtonWidth = 120;
    constexpr int nameButtonRise = 28;

    bool usesSpecialTable (int pid)
    {
        return std::find (std::begin (specialTableProducts), std::end (specialTableProducts), pid)
                   != std::end (specialTableProducts);
    }

    juce::String stepDescription (int index, bool catalogueMode)
    {
        const auto& parts = captionedDescriptions[index];

        if (parts.prefix != nullptr)
            return juce::String (parts.prefix) + stepCaptions[index] + parts.suffix;

        if (catalogueMode)
            return catalogueDescription;

        return juce::String (localFileDescriptionPrefix) + makerWebSite + localFileDescriptionSuffix;
    }

    void showLabel (juce::Component& owner, juce::Label& label, const juce::String& text,
                    juce::Justification justification)
    {
        label.setText (text, juce::dontSendNotification);
        label.setJustificationType (justification);
        owner.addAndMakeVisible (label);
    }
}

//==============================================================================
FirmwareUpgradeComponent::FirmwareUpgradeComponent (int pid, bool catalogueMode)
    : applicationName ("Zorv Firmware Upgrader"),
      version ("1.54"),
      copyrightYears ("2012-2023"),
      serverFetch (catalogueMode),
      serverFetchAtOpen (catalogueMode),
      tooltipWindow (nullptr, 0),
      selectedPid (pid),
      workingPid (pid),
      ctorPid (pid),
      pidBeforeAirRemap (pid)
{
    g_forSpecialDeviceQ = usesSpecialTable (ctorPid) ? 1u : 0u;

    bTest_fwug = false;
    bEsc = false;
    _num_UpgradeSuccess = 0;
    bForAnyZorv = true;
    bResetTitle = true;

    if (catalogueMode)
        catalogue = juce::ValueTree (catalogueType);

    showLabel (*this, progressLabel, progressCaption, juce::Justification::centred);
    progressBar.setPercentageDisplay (true);
    progressBar.setColour (juce::ProgressBar::foregroundColourId, juce::Colours::skyblue);
    addAndMakeVisible (progressBar);

    for (int i = 0; i < numSteps; ++i)
    {
        const auto stepName = "Step " + juce::String (i + 1);
        showLabel (*this, stepTitles[i], stepName, juce::Justification::centred);
        showLabel (*this, stepRowLabels[i], stepName + ":", juce::Justification::topLeft);
        showLabel (*this, stepDescriptions[i], stepDescription (i, catalogueMode), juce::Justification::topLeft);
        stepDescriptions[i].setMinimumHorizontalScale (1.0f);
    }

    showLabel (*this, noteLabel, noteCaption, juce::Justification::topLeft);
    showLabel (*this, noteText, noteDescription, juce::Justification::topLeft);

    for (int i = 0; i < numSteps; ++i)
    {
        const bool isLoadFile = i == 3 && ! serverFetch;
        stepButtons[i].setButtonText (isLoadFile ? loadFileCaption : stepCaptions[i]);
        addAndMakeVisible (stepButtons[i]);
        stepButtons[i].addListener (this);
    }

    nameButton.setButtonText (nameButtonCaption);
    nameButton.setTooltip (nameButtonTooltip);
    addAndMakeVisible (nameButton);
    nameButton.addListener (this);

    for (auto* child : getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            label->setColour (juce::Label::textColourId, juce::Colours::black);

    // The operator keys reach the wizard only when it, or one of its
    // buttons, holds the keyboard focus.
    setWantsKeyboardFocus (true);

    updateButtonEnablement();
    setSize (wizardWidth, wizardHeight);
}

void FirmwareUpgradeComponent::paint (juce::Graphics&)
{
}

void FirmwareUpgradeComponent::resized()
{
    const int w = getWidth();
    const int left = w / 2 - columnOffset;

    progressLabel.setBounds (0, 10, w, labelHeight);
    progressBar.setBounds (barInset, barY, w - 2 * barInset, barHeight);

    const int titleY = progressBar.getBottom() + 6;
    const int buttonY = progressBar.getBottom() + 12 + labelHeight;

    for (int i = 0; i < numSteps; ++i)
    {
        const int x = left + stepSpacing * i;
        stepTitles[i].setBounds (x, titleY, stepWidth, labelHeight);
        stepButtons[i].setBounds (x, buttonY, stepWidth, labelHeight);
    }

    // Explanation rows from the top: step 1, the note, then steps 2 to 5.
    juce::Label* rowLabels[] = { &stepRowLabels[0], &noteLabel, &stepRowLabels[1],
                                 &stepRowLabels[2], &stepRowLabels[3], &stepRowLabels[4] };
    juce::Label* rowTexts[] = { &stepDescriptions[0], &noteText, &stepDescriptions[1],
                                &stepDescriptions[2], &stepDescriptions[3], &stepDescriptions[4] };

    const int textWidth = w - 20 - left - rowLabelWidth;
    int rowY = stepButtons[0].getBottom() + 18;

    for (size_t k = 0; k < std::size (rowLabels); ++k)
    {
        rowLabels[k]->setBounds (left, rowY, rowLabelWidth, labelHeight);
        rowTexts[k]->setBounds (w / 2 - rowTextOffset, rowY, textWidth, rowTextHeight);
        rowY += rowTextHeight + rowGap;
    }

    nameButton.setBounds ((w - nameButtonWidth) / 2, rowTexts[5]->getBottom() + rowGap - nameButtonRise,
                          nameButtonWidth, labelHeight);
    nameButton.setTooltip (nameButtonTooltip);
}

//==============================================================================
void FirmwareUpgradeComponent::updateButtonEnablement()
{
    int numEnabled = 0;

    if (currentStep < 0)
        numEnabled = 1;
    else if (currentStep < numSteps)
        numEnabled = currentStep + 2;

    for (int i = 0; i < numSteps; ++i)
        stepButtons[i].setEnabled (i < numEnabled);
}

void FirmwareUpgradeComponent::protectUI (bool shouldProtect)
{
    protectUiQ = shouldProtect;

    for (auto& button : stepButtons)
        button.setEnabled (! shouldProtect);

    // Its help box is modal: opened now, it would hold the step.
    nameButton.setEnabled (! shouldProtect);
}

void FirmwareUpgradeComponent::updateProgress (int step)
{
    if (step < 0)
    {
        currentStep = -1;
        progress = 0.0;
        updateButtonEnablement();
        return;
    }

    const juce::ScopedLock lock (progressLock);
    progress = (step + 1) / 5.0;
    currentStep = step;
    updateButtonEnablement();

    if (step == numSteps - 1 && bAuto)
        ++_num_UpgradeSuccess;
}

void FirmwareUpgradeComponent::resetProgress()
{
    currentStep = -1;
    progress = 0.0;
    updateButtonEnablement();
}

//==============================================================================
juce::String FirmwareUpgradeComponent::baseTitle()
{
    if (bSerial)
        return juce::String (wizardTitle) + juce::String::formatted (serialCountFormat, _num_UpgradeSuccess, serialTarget);

    if (bTest_fwug)
        return juce::String (wizardTitle) + testModeMark;

    return wizardTitle;
}

void FirmwareUpgradeComponent::SetTitle (const juce::String& suffix, bool keepTitle)
{
    if (keepTitle)
        return;

    setWindowTitle (suffix.isEmpty() ? baseTitle() : baseTitle() + ": " + suffix);
}

void FirmwareUpgradeComponent::setWindowTitle (const juce::String& title)
{
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->setName (title);
    else if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        window->setName (title);
}

bool FirmwareUpgradeComponent::goonStep1 (int pid)
{
    workingPid = selectedPid = pid;

    // A handler erases with, and checks firmware file names against, the
    // product it was made for. One left from a unit of another product would
    // erase this unit with the wrong argument, so step 3 makes a new one.
    if (uploadHandler != nullptr && uploadHandler->getPid() != pid)
        uploadHandler.reset();

    setWindowTitle (baseTitle() + ": " + Product::getName ((Product::PID) pid));
    updateProgress (0);

    if (! bTest_fwug && bAuto)
        doStep2();

    return true;
}

void FirmwareUpgradeComponent::makeUploadHandlerIfNone()
{
    if (uploadHandler == nullptr)
        uploadHandler = std::make_unique<MidiInputHandler> (this, workingPid);
}
}
