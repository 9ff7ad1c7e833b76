#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    // The firmware upgrade wizard: the port-counting and file-name queries
    // that its steps and pickers share; none of them reads any wizard state.
    class FirmwareUpgradeComponent
    {
    public:
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
    };
}
