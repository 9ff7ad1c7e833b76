#pragma once

#include <cstddef>

// Writes all of a buffer to an open file. POSIX only (Linux, macOS).
class WholeWrite
{
public:
    // False unless every byte was written: a write can stop short without a
    // word (a file-size limit, a full disk), the next one then fails.
    static bool to (int descriptor, const void* data, size_t size);
};
