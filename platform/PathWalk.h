#pragma once

#include <string>
#include <sys/stat.h>

// The file a path names, found by walking the path one part at a time, so
// that every symbolic link on the way, a link to a folder as much as one at
// the end, is judged before it is followed. In a sticky folder anyone may
// write (/tmp) a link is followed only when it is the user's own or the
// folder owner's: anyone else's could lead a save to a file of their choosing.
// That is the kernel's fs.protected_symlinks; it holds here whatever the
// system's setting, on systems without it, and for the links the program
// reads itself, which the kernel never judges. Letting the system resolve a
// folder (stat, realpath) would follow the folder links unjudged.
// POSIX only (Linux, macOS).
class PathWalk
{
public:
    // The absolute `path` with every link in its folders resolved, and its
    // last part too when `followLast` (a dangling link ends at the file it
    // names, which need not exist). Empty when a folder on the way does not
    // exist or cannot be searched, a link may not be followed, links go round
    // in a loop, the path is relative or it names no file ("/", ".", "..").
    static std::string resolve (const std::string& path, bool followLast);

    // Whether the file or link at `path` (its folder one without links),
    // described by `info`, is the user's to use: in a sticky folder anyone
    // may write, only the user's own or the folder owner's is. The kernel
    // asks the same before it writes to a file there (fs.protected_regular):
    // a file replaced would hand the new contents to its owner.
    static bool mayBeUsed (const std::string& path, const struct stat& info);

    // The folder part of an absolute path: "/" for a name in the root.
    static std::string folderOf (const std::string& path);

    static std::string inFolder (const std::string& folder, const std::string& name);
};
