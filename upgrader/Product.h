#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace zorv
{
    // 1 selects the short table of models that the normal table turns away;
    // any other value the normal table. The wizard sets it when it opens and
    // nothing resets it afterwards.
    extern juce::uint32 g_forSpecialDeviceQ;

    // The maker's device models.
    class Product
    {
    public:
        // Product ids. The underlying type is fixed so that any integer, also
        // one the table does not name, is a valid value of the enumeration.
        enum PID : int
        {
            Fennics             = 26,
            Rmq                 = 49,
            WexelPro            = 79,
            Dovra               = 81,
            WexelEx             = 89,
            WexelProX           = 94,
            Lortan3             = 101,
            Lortan4             = 102,
            Lortan5             = 103,
            Lortan6             = 104,
            Lortan3Mini         = 108,
            Lortan4Mini         = 109,
            LortanS             = 110,
            Lortan3S            = 111,
            Lortan4S            = 112,
            Lortan5S            = 113,
            Lortan6S            = 114,
            TrevanM             = 117,
            TrevanX             = 118,
            Lortan8             = 125,
            Lortan8S            = 126,
            WexelProXS          = 130,
            Lortan3STorqa       = 133,
            Lortan4STorqa       = 134,
            Lortan5STorqa       = 135,
            Lortan6STorqa       = 136,
            Lortan8STorqa       = 137,
            Lortan3Nano         = 141,
            Lortan4Nano         = 142,
            Lortan5Nano         = 143,
            Lortan6Nano         = 144,
            Lortan8Nano         = 145,
            Lortan3X            = 147,
            Lortan4X            = 148,
            Lortan5X            = 149,
            Lortan6X            = 150,
            Lortan8X            = 151,
            TrevanMPlus         = 156,
            TrevanXPlus         = 161,
            TrevanBPlus         = 170,
            WexelProG2          = 176,
            WexelExG2           = 177,
            TrevanNano          = 179,
            TrevanAir           = 186,
            TrevanMPlusKestrel  = 187,
            Unknown             = 2000,
            Brisa               = 2048,
            BrisaPro            = 2049,
            BrisaRX             = 2050,
            TrevanAirRX         = 2052
        };

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
    };

    // The same numbering under the name that the mapping core takes.
    using PID_S = Product::PID;
}
