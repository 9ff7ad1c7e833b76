#pragma once

#include <string>

// Puts what was written on disk. POSIX only (Linux, macOS).
class DiskSync
{
public:
    // The open file's contents and its owner, mode and attributes, which must
    // reach the disk with them (fsync, not fdatasync). A network file system
    // or a quota may report a failed write only now. On macOS fsync leaves
    // the data in the drive's cache; F_FULLFSYNC empties it where the file
    // system can.
    static bool file (int descriptor);

    // A rename or a new name is on disk only once its folder is. Best effort:
    // some file systems refuse to sync a folder, and what was renamed is in
    // place either way.
    static void folder (const std::string& path);
};
