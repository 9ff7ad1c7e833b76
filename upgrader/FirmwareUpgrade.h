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
    };
}
