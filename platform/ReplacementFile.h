#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <sys/types.h>

// The new file that is to take a file's place, made beside the file it
// replaces so that the final rename stays on one filesystem and is atomic.
//
// By default the file replaced is the one the target names, symbolic links
// followed: a save through a link the user chose must change the linked file,
// not turn the link into a file of its own (a dangling link's file is
// created). In a sticky folder anyone may write (/tmp) a link is followed,
// and a file replaced, only when it is the user's own or the folder owner's,
// as the kernel's fs.protected_symlinks and fs.protected_regular have it:
// anyone else's link could send the save to a file of their choosing, and
// their file would be handed the new contents; following links ourselves
// must not get round the kernel's rule. A file the program names itself has
// no link of the user's to follow: its name is replaced, and a link there
// gives way to the new file.
//
// The new file takes on the permission bits and extended attributes (a
// POSIX ACL among them) of the one it replaces, and its owner and group
// where the system allows; a file that did not exist gets the default
// permissions under the user's umask.
//
// There is no new file (write() fails) when the target may not be replaced:
// it exists and is not an ordinary file, the user may not write it, it or a
// link on the way is another's in a sticky folder, its links go round in a
// loop, or its folder cannot hold a new file.
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

    // Gives the new file the replaced file's permissions, puts it on disk and
    // renames it over that file. False, with the replaced file untouched and
    // the new file gone, on any failure.
    bool takeTargetsPlace();

private:
    bool keepOwnerAndPermissions();

    std::string targetPath, temporaryPath;
    int descriptor = -1;

    bool replacesAFile = false;
    mode_t previousMode = 0;
    uid_t previousOwner = 0;
    gid_t previousGroup = 0;
    dev_t previousDevice = 0;
    ino_t previousInode = 0;

    JUCE_DECLARE_NON_COPYABLE (ReplacementFile)
};
