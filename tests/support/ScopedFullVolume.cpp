#include "tests/support/ScopedFullVolume.h"

namespace
{
    constexpr juce::int64 largestVolumeToFill = 64 * 1024 * 1024;
}

ScopedFullVolume::ScopedFullVolume (const juce::File& folder, juce::int64 roomLeft)
    : filler (folder.getChildFile ("filler-" + juce::Uuid().toString()))
{
    const auto free = folder.getBytesFreeOnVolume();

    if (free <= roomLeft || free > largestVolumeToFill)
        return;

    juce::FileOutputStream out (filler);
    juce::HeapBlock<char> block (65536, true);

    for (auto left = free - roomLeft; left > 0;)
    {
        const auto n = (size_t) juce::jmin (left, (juce::int64) 65536);

        if (! out.write (block, n))
            return;

        left -= (juce::int64) n;
    }

    out.flush();
    full = out.getStatus().wasOk() && folder.getBytesFreeOnVolume() <= roomLeft;
}

ScopedFullVolume::~ScopedFullVolume()
{
    filler.deleteFile();
}
