#pragma once

// A file's extended attributes carried over to the new file that replaces
// it. On Linux a POSIX ACL is one of them ("system.posix_acl_access"): lost
// on a save, it would take back what it granted named users and groups, and
// the group bits of the mode, which showed its mask, would turn into the
// group's own. macOS keeps a file's ACL apart from its extended attributes;
// there it is copied on its own.
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

    // Gives the open file `to` the attributes and the ACL of the open file
    // `from`, and takes from `to` those `from` lacks: an ACL that `to` took
    // from its folder's default one would grant more than the file it
    // replaces, and what an earlier copy gave `to` came from another file.
    // The labels the system gives every new file (Linux's "security.") stay.
    // An attribute the user may not set ("trusted." or "security." ones),
    // that the file system does not keep or that the system refuses
    // otherwise is left out; only a full disk or an I/O error fails the copy.
    // On macOS a file without an ACL gives `to` an empty one.
    static Copied copy (int from, int to);
};
