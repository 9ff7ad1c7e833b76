#pragma once

#include <string>

// New contents written into a file in place, for a save that cannot give a
// new file the old one's owner and group: a user cannot give a file away, so
// a group member's save by rename would take another user's file from them.
// Written in place, the file keeps its owner, group, mode, ACL and attributes.
//
// A failed write loses nothing: the new contents are already on disk beside
// the file, and the old ones are copied beside it and put on disk before the
// first byte of the file changes; every write, the length, fsync and close
// are checked, and on any failure the old contents are written back. Should
// that fail too, their copy stays beside the file (a hidden ".<name>.tmp…"),
// of the file's group, readable by its group and others as far as the file
// was. Saves made this way at once take turns (an exclusive flock on the
// file), so that two of them never leave a mix of both; a save whose turn
// does not come within a few seconds (a reader holds a lock), or that cannot
// lock the file, fails and changes nothing.
// POSIX only (Linux, macOS).
class InPlaceWrite
{
public:
    enum class Result
    {
        written,
        failed,      // the file holds its old contents, or their copy stays beside it
        fileChanged  // the path no longer names `measured`: nothing was written
    };

    // Writes the whole of `contents` (open for reading, on disk) into the file
    // at `path`, which must still be `measured` (open for reading: the file
    // whose contents are replaced, and where the old ones are read from).
    static Result write (const std::string& path, int measured, int contents);
};
