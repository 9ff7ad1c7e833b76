#pragma once

#include <string>

// A file's extended attributes carried over to the new file that replaces
// it. On Linux a POSIX ACL is one of them ("system.posix_acl_access"): lost
// on a save, it would take back what it granted named users and groups, and
// the group bits of the mode, which showed its mask, would turn into the
// group's own. macOS keeps ACLs apart from extended attributes; there only
// the attributes themselves are carried over.
// POSIX only (Linux, macOS).
class ExtendedAttributes
{
public:
    enum class Copied
    {
        all,        // every attribute the user may set, the ACL with them
        allButAcl,  // the new file's ACL may not be the old one's
        failed      // the file system failed (full, I/O): the save should fail too
    };

    // Copies the attributes of the file at `from` (the name itself: a link
    // there is not followed) to the open file `to`. An attribute the user
    // may not set ("trusted." or "security." ones), that the file system does
    // not keep or that the system refuses otherwise is left out; only a full
    // disk or an I/O error fails the copy. An ACL that `to` took from its
    // folder's default one goes when `from` had none: it would grant more
    // than the file it replaces.
    static Copied copy (const std::string& from, int to);
};
