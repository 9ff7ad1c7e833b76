#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace zorv
{
    // The firmware upgrade wizard: five numbered steps that find one of the
    // maker's devices, put it into upgrade mode, open its upgrade-mode port,
    // fetch a firmware image and upload it. Everything runs on the message
    // thread; the steps block while they wait but keep the message loop
    // running, so clicks and keys arrive in the middle of a step.
    //
    // The state below is public because the steps, the upload handler (which
    // writes progressLabel and progress while it uploads) and the pickers all
    // work on it directly.
    class FirmwareUpgradeComponent : public juce::Component,
                                     public juce::Button::Listener
    {
    public:
        // Owns the upgrade-mode ports and the image, and runs the upload.
        class MidiInputHandler;

        static constexpr int numSteps = 5;

        // How many successful uploads a serial run aims for.
        static constexpr int serialTarget = 20;

        FirmwareUpgradeComponent (int pid, bool catalogueMode);
        ~FirmwareUpgradeComponent() override;

        //==============================================================================
        void userTriedToCloseWindow() override;
        void paint (juce::Graphics&) override;
        bool keyPressed (const juce::KeyPress& key) override;
        void resized() override;
        void buttonClicked (juce::Button* button) override;

        //==============================================================================
        // Enables the step buttons up to the one after the last step done.
        void updateButtonEnablement();

        // While a step runs: all step buttons and the name button off, close
        // requests refused and quit requests deferred.
        void protectUI (bool shouldProtect);

        // Marks step index `step` (0 to 4) as done; below 0 starts over.
        void updateProgress (int step);

        // Base title, then ": " and the suffix when there is one. With
        // `keepTitle` the title stays as it is.
        void SetTitle (const juce::String& suffix, bool keepTitle);

        void showAboutDlg();

        // Closes the enclosing dialog, which ends the wizard's modal loop.
        void quit();

        // Sends the reset frame to every unit in upgrade mode; true when no
        // upgrade-mode port is left afterwards.
        bool resetAllFwug0();

        // The title the mode flags call for: serial count, test dot or plain.
        static juce::String baseTitle();

        //==============================================================================
        // The five steps and the acceptance of the unit chosen in step 1.
        void doStep1();
        void doStep2();
        void doStep3();
        void doStep4();
        void doStep5();
        bool goonStep1 (int pid);

        // Step 4's handling of a local file once it has been chosen: checks
        // its name against the upload handler's product, loads it and
        // refuses it, as a download is refused, when it is no firmware image
        // (see FirmwareImage::check). True when the image was loaded.
        bool acceptLocalFirmwareFile (const juce::File& file);

        //==============================================================================
        // Whether a firmware file name (without extension, lower-cased and
        // trimmed by the caller) fits product `pid`. Unlisted ids accept all.
        static bool isValidFmwName (juce::String name, unsigned int pid);

        // k times the number of upgrade-mode output ports plus the number of
        // output ports of product `pid`; raw port list, case-sensitive.
        static int getNumsOf_Fwug_and_Prod (int pid, int k);

        // The number of output (true) or input (false) port names that contain
        // `text`, case-sensitive, over the raw port list.
        static int numberForDevice (juce::StringRef text, bool outputs);

        // Index in DeviceHelpers::getDeviceNames0 of the first name that
        // contains `text`, case-sensitive; -1 when none does.
        static int indexForFirstDevice (juce::StringRef text, bool outputs);

        // The first of `names` that names product `pid`; empty when none does.
        static juce::String firstTargetNameByPid (int pid, const juce::StringArray& names);

        //==============================================================================
        juce::StringRef applicationName;
        juce::StringRef version;
        juce::StringRef copyrightYears;

        bool serverFetch;
        bool serverFetchAtOpen;

        juce::TooltipWindow tooltipWindow;

        int selectedPid;
        int workingPid;
        const int ctorPid;

        juce::Label stepTitles[numSteps];
        juce::Label stepRowLabels[numSteps];
        juce::Label stepDescriptions[numSteps];
        juce::TextButton stepButtons[numSteps];
        juce::TextButton nameButton;
        juce::Label noteLabel;
        juce::Label noteText;

        juce::Label progressLabel;
        juce::CriticalSection progressLock;
        int currentStep = -1;
        double progress = 0.0;
        juce::ProgressBar progressBar { progress };

        juce::String productPort;
        juce::String upgradePort;
        juce::File firmwareFile;
        int pidBeforeAirRemap;
        juce::ValueTree catalogue;

        std::unique_ptr<MidiInputHandler> uploadHandler;

        // The application was asked to quit while the wizard was busy; the
        // quit is asked for again once the wizard's step has ended.
        bool quitDeferred = false;

    private:
        void setWindowTitle (const juce::String& title);
        void makeUploadHandlerIfNone();
        void resetProgress();
        void askToResetUnitsInUpgradeMode();
        bool runDeviceDialog (juce::String& chosenName, const juce::String& targetName);
        bool loadFromCatalogue (bool& imageLoaded);
        void loadFromLocalFile (bool& imageLoaded);
        void loadFirmwareImage();
        void imageInMemory();
        void disableConnectAndEnter();
        void openUpdateDeviceNameHelp();
        void quitIfDeferredAndIdle();

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareUpgradeComponent)
    };
}
