#pragma once

#include "core/ProductIds.h"

#include <juce_data_structures/juce_data_structures.h>

namespace zorv
{
    // 1 selects the short table of models that the normal table turns away;
    // any other value the normal table. The wizard sets it when it opens and
    // nothing resets it afterwards.
    extern juce::uint32 g_forSpecialDeviceQ;

    // The maker's device models, by the product ids of ProductIds.
    class Product : public ProductIds
    {
    public:
        // False only for the id that stands for "not in the table".
        static bool validPID (int pid);

        // The name in the table in force; "Unknown" for an id it does not name.
        static juce::String getName (PID pid);

        // The id of the first pattern of the table in force that the port name
        // fits (lower-cased and trimmed first); Unknown when none fits.
        static PID pidFromDeviceName (const juce::String& portName);

        // The product id that the upgrade-mode request carries for `pid`:
        // several models answer to the request of a sibling.
        static int requestFamily (int pid);

        // Fills `catalogue` with the firmware server's entries for `pid`.
        static juce::Result fetchAvailableFirmwares (int pid, juce::ValueTree& catalogue);

        // Leaves in a catalogue tree only the entries for `pid`, in their
        // order; the root keeps its type and properties.
        static void keepEntriesFor (int pid, juce::ValueTree& catalogue);
    };
}
