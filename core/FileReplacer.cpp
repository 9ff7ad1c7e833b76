#include "core/FileReplacer.h"

bool FileReplacer::replace (const juce::File& target, const void* data, size_t size, LinkAtTarget links)
{
    if (target == juce::File())
        return false;

    ReplacementFile replacement (target, links);

    if (! replacement.write (data, size))
        return false;

    // A write can be cut short without a word (a file-size limit, some file
    // systems when full): the length on disk tells.
    if (replacement.sizeOnDisk() != (juce::int64) size)
        return false;

    return replacement.takeTargetsPlace();
}
