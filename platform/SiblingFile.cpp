#include "platform/SiblingFile.h"

#include "platform/PathWalk.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace
{
   #ifdef NAME_MAX
    constexpr long defaultNameLimit = NAME_MAX;
   #else
    constexpr long defaultNameLimit = 255;
   #endif

    // A hidden name in `folder` that stays within the folder's limit on name
    // length however long the other file's name is: that name is shortened,
    // at a whole UTF-8 character, to make room.
    std::string hiddenName (const std::string& folder, const std::string& name, juce::Random& random)
    {
        const auto suffix = ".tmp" + juce::String::toHexString (random.nextInt()).paddedLeft ('0', 8).toStdString();

        auto limit = ::pathconf (folder.c_str(), _PC_NAME_MAX);

        if (limit <= 0)
            limit = defaultNameLimit;

        const auto room = (size_t) std::max (0L, limit - 1 - (long) suffix.size());
        auto length = std::min (name.size(), room);

        while (length > 0 && length < name.size() && ((unsigned char) name[length] & 0xC0) == 0x80)
            --length;

        return "." + name.substr (0, length) + suffix;
    }
}

int SiblingFile::create (const std::string& besides, mode_t mode, std::string& path)
{
    const auto folder = PathWalk::folderOf (besides);
    const auto name = besides.substr (besides.rfind ('/') + 1);
    juce::Random random;

    for (int attempt = 0; attempt < 100; ++attempt)
    {
        path = PathWalk::inFolder (folder, hiddenName (folder, name, random));
        const auto descriptor = ::open (path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);

        if (descriptor >= 0)
            return descriptor;

        if (errno != EEXIST && errno != ELOOP)
            break;
    }

    path.clear();
    return -1;
}
