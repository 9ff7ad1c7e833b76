#include "core/FileReplacer.h"

#include "platform/ReplacementFile.h"

namespace
{
    // The smallest buffer JUCE's stream allows: a block this size or larger
    // goes to the file at once, so write() itself reports a short write.
    constexpr size_t unbuffered = 16;
}

bool FileReplacer::replace (const juce::File& target, const void* data, size_t size)
{
    if (target == juce::File())
        return false;

    ReplacementFile replacement (target);

    if (replacement.getFile() == juce::File())
        return false;

    {
        juce::FileOutputStream out (replacement.getFile(), unbuffered);

        if (! out.openedOk() || ! out.write (data, size))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // A write below the buffer size only reaches the file on the flush,
    // whose own result JUCE drops: the length on disk tells.
    if (replacement.sizeOnDisk() != (juce::int64) size)
        return false;

    return replacement.takeTargetsPlace();
}
