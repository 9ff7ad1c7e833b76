#pragma once

#include <string>
#include <sys/types.h>

// A new file beside another, under a hidden name of its own, made to stand in
// for it or to keep a copy of it: beside it so that a rename over it stays on
// one file system and is atomic. POSIX only (Linux, macOS).
class SiblingFile
{
public:
    // Creates a file in the folder of `besides` (a path whose folder has no
    // links in it) with `mode` under the user's umask, open for reading and
    // writing, and puts its path in `path`. O_EXCL: whatever stands at a
    // name, a link even, dangling or not, is left alone and another name
    // tried. -1, with `path` empty, when none can be made.
    static int create (const std::string& besides, mode_t mode, std::string& path);
};
