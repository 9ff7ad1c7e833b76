#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <sys/stat.h>

// The new file that is to take a file's place, made beside the file it
// replaces so that the final rename stays on one filesystem and is atomic.
//
// By default the file replaced is the one the target names, symbolic links
// followed: a save through a link the user chose must change the linked file,
// not turn the link into a file of its own (a dangling link's file is
// created). Every link on the way, folder links included, keeps to the
// sticky-folder rule of platform/PathWalk: in a sticky folder anyone may
// write (/tmp) only the user's own or the folder owner's is followed, and a
// file there is replaced only when it is one of theirs. A file the program
// names itself has no link of the user's to follow: its name is replaced, and
// a link there gives way to the new file.
//
// The file replaced is opened once and measured (identity, owner, mode,
// attributes) through that one descriptor. When, at the rename, another file
// has taken its name (another save of it renamed its own new file there), that
// one is measured again; one of another owner or group (someone swapped it) is
// not the user's file any more, and nothing is replaced. The new file takes on
// the permission bits, extended attributes and POSIX ACL of the one it
// replaces, and its owner and group; a file that did not exist gets the
// default permissions under the user's umask. When the new file cannot have
// the old one's owner and group (a group member saves another user's file),
// the contents are written into the old file in place instead
// (platform/InPlaceWrite), so that the file stays its owner's.
//
// There is no new file (write() fails) when the target may not be replaced:
// it exists and is not an ordinary file, the user may not read and write it,
// it or a link on the way is another's in a sticky folder, its links go round
// in a loop, or its folder cannot hold a new file.
// POSIX only (Linux, macOS).
class ReplacementFile
{
public:
    enum class LinkAtTarget { followed, replaced };

    explicit ReplacementFile (const juce::File& target, LinkAtTarget links = LinkAtTarget::followed);

    // Removes the new file unless it has taken the target's place.
    ~ReplacementFile();

    // Appends to the new file through the descriptor it was made with, never
    // by its name, which someone else could have put another file under.
    // False unless every byte was written.
    bool write (const void* data, size_t size);

    // The new file's length on disk, -1 when it cannot be told.
    juce::int64 sizeOnDisk() const;

    // Gives the new file the replaced file's owner and permissions, puts it on
    // disk and renames it over that file, or writes it into that file in
    // place. False, with the replaced file as it was and the new file gone,
    // on any failure; but should a write in place and the writing back of the
    // old contents both fail, the file may hold part of either, and its old
    // contents stay beside it in a hidden copy of the saver's that the file's
    // group and others may read as far as they could read the file.
    bool takeTargetsPlace();

private:
    enum class Measured { file, none, refused };
    enum class Kept { all, notOwner, failed };

    Measured measure();
    bool stillAtItsName() const;
    Kept keepOwnerAndPermissions();
    bool renameOverTarget();

    LinkAtTarget links;
    std::string targetPath, temporaryPath;

    // The new file, open for reading and writing.
    int descriptor = -1;

    // The file replaced, open for reading, and what it was when measured.
    int replaced = -1;
    struct stat measured {};

    JUCE_DECLARE_NON_COPYABLE (ReplacementFile)
};
