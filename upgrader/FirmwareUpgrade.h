#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zorv
{
    // Where the rest of the program enters the firmware wizard.
    class FirmwareUpgrade
    {
    public:
        // Shows the hub warning when asked to (and returns 0 when the user
        // cancels it), then runs the wizard for product `pid` in a modal
        // dialog centred around `parent` (may be null) and returns the dialog's
        // result once the user has closed it. With `catalogueMode` step 4 takes
        // the firmware from the server's catalogue, else from a local file.
        static int runWizardDialogModal (int pid, juce::Component* parent,
                                         bool showHubWarning, bool catalogueMode);

        // The "connect only this device, no hub" warning; true on OK.
        static bool displayWarningAboutHUBs();

        // True while a wizard step protects the interface: an upload, a reset
        // or a wait for the unit is under way. Nothing may then open a modal
        // box, whose loop would hold the step where it is (an upload mid-frame)
        // for as long as the box stays open.
        static bool isStepProtected();

        // True while the wizard must not be interrupted: a step protects the
        // interface, or auto mode chains the steps by itself. The wizard then
        // refuses to close and the application does not quit.
        static bool isBusy();

        // For the application's quit requests. While the wizard is busy it
        // takes the request over and returns true: the application must not
        // quit now. The wizard gives up what it can, as on Escape, and asks
        // the application to quit again (JUCEApplicationBase::systemRequestedQuit)
        // once its step has ended and auto mode is off. Otherwise returns false.
        static bool deferQuitWhileBusy();
    };
}
