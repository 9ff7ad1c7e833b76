#pragma once

#include <array>

// The surface as its documentation lays it out, written down here apart from
// the program's tables so that several suites can hold the program to it.
namespace SurfaceLayout
{
    // Record row of every control id 0..89; in the cursor states (1 left and
    // right, 2 up and down) the jog halves take the rows of the cursor targets.
    inline int rowOf (int cid, int jogState = 0)
    {
        static const int rows[90]
        {
            1,
            25, 26, 27, 28, 29, 30, 31, 32,  17, 18, 19, 20, 21, 22, 23, 24,
             9, 10, 11, 12, 13, 14, 15, 16,   1,  2,  3,  4,  5,  6,  7,  8,
            58, 59, 60, 61, 62, 63, 64, 65,  81, 82, 83, 84, 85, 86, 87, 88,
            36, 35, 34, 33, 89,  40, 39, 38, 37,  41, 42, 44, 43, 46, 45,  66,
            71, 72, 73, 74, 75, 76, 77, 78,  80, 79,  47, 48,
            90, 91, 92, 93, 94, 95, 96, 97, 98,  69, 70, 67, 68
        };

        if ((cid == 73 || cid == 74) && jogState != 0)
            return cid - (jogState == 1 ? 4 : 6);

        return rows[cid];
    }

    // The control whose own record a row 1..98 carries; rows 49-57 repeat control 49.
    inline int controlOfRow (int row)
    {
        for (int cid = 1; cid <= 89; ++cid)
            if (rowOf (cid) == row)
                return cid;

        return 49;
    }

    // Factory record { status nibble, status byte, data byte, velocity } of
    // rows 0..99 in the Mackie Control modes.
    inline std::array<int, 4> factoryRecord (int row)
    {
        static const int notes33To48[] { 84, 74, 75, 0, 47, 46, 49, 48, 91, 92, 93, 94, 86, 95, 100, 100 };
        auto note = [] (int n) { return std::array<int, 4> { 9, 0x90, n, 127 }; };

        if (row == 0)   return note (0);
        if (row <= 8)   return note (row + 23);
        if (row <= 16)  return note (row + 7);
        if (row <= 24)  return note (row - 9);
        if (row <= 32)  return note (row - 25);
        if (row <= 48)  return note (notes33To48[row - 33]);
        if (row <= 57)  return note (0);
        if (row <= 65)  return note (row - 26);
        if (row == 66)  return note (101);
        if (row <= 70)  return note (row + 29);
        if (row <= 78)  return { 11, 0xB0, row - 55, 64 };
        if (row <= 80)  return { 11, 0xB0, 60, 64 };
        if (row <= 88)  return note (row + 23);
        if (row == 89)  return note (112);
        if (row <= 98)  return { 14, 0xE0 + row - 90, 0, 0 };
        return { 0, 0, 0, 0 };
    }
}
