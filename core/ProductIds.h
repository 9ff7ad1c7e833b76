#pragma once

namespace zorv
{
    // The maker's device models by product id, shared by the mapping core
    // (the id a mapping transfer names) and the upgrader's product table.
    struct ProductIds
    {
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
    };

    // The same numbering under the name that the mapping core takes.
    using PID_S = ProductIds::PID;
}
