#pragma once

#include "platform/ReplacementFile.h"

#include <juce_core/juce_core.h>

// Puts new contents in a file's place only once they are wholly on disk: they
// go to a new file beside the target, every write, the length on disk and the
// flush to disk are checked, and only then is the new file renamed over the
// target (or, for a file the saver cannot give back to its owner, written
// into it). On any failure the target is left as it was and the new file goes
// (for the one exception, a write in place that cannot be undone either, see
// platform/ReplacementFile).
//
// JUCE's own writers (XmlElement::writeTo, PropertiesFile) drop the result of
// the write that empties their buffer: on a nearly full disk a cut-off file
// would replace a good one and the save would still report success.
class FileReplacer
{
public:
    using LinkAtTarget = ReplacementFile::LinkAtTarget;

    // By default a target that is a symbolic link has the file it links to
    // replaced and stays a link (a file the user chose); with
    // LinkAtTarget::replaced the link itself gives way to the new file and
    // the file it names is left alone (a file the program names itself). The
    // new file keeps the replaced one's permissions, ACL and other extended
    // attributes, owner and group; a file the saver could not give back to
    // its owner and group is written in place instead, the old contents kept
    // until the new are on disk. Refuses a target that exists and is not an
    // ordinary file (renaming over an empty folder would delete it, and a
    // FIFO or device is no document), one the user may not read and write
    // and a link that may not be followed (see platform/ReplacementFile).
    static bool replace (const juce::File& target, const void* data, size_t size,
                         LinkAtTarget links = LinkAtTarget::followed);
};
