#pragma once

#include <juce_core/juce_core.h>

// Puts new contents in a file's place only once they are wholly on disk: they
// go to a new file beside the target, every write and the length on disk are
// checked, and only then is the new file renamed over the target. On any
// failure the target is left as it was and the new file goes.
//
// JUCE's own writers (XmlElement::writeTo, PropertiesFile) drop the result of
// the write that empties their buffer: on a nearly full disk a cut-off file
// would replace a good one and the save would still report success.
class FileReplacer
{
public:
    // A target that is a symbolic link has the file it links to replaced and
    // stays a link; the new file keeps the replaced one's permissions. Refuses
    // a target that exists and is not an ordinary file (renaming over an empty
    // folder would delete it, and a FIFO or device is no document) and one the
    // user may not write (see platform/ReplacementFile).
    static bool replace (const juce::File& target, const void* data, size_t size);
};
