#pragma once

// Texts and names that more than one file of the firmware wizard uses, each
// written once.
namespace zorv
{
    // The wizard dialog's title, and the start of every title the wizard sets.
    inline constexpr const char* wizardTitle = "Firmware Upgrade";

    // Follows the title while test mode is on.
    inline constexpr const char* testModeMark = ".";

    // The type of the catalogue tree that step 4 fills.
    inline constexpr const char* catalogueType = "firmwares";

    // Both pickers: their content's component name and their two buttons.
    inline constexpr const char* pickerComponentName = "DeviceSelectComponent";
    inline constexpr const char* okCaption = "OK";
    inline constexpr const char* cancelCaption = "Cancel";
}
