#include "platform/WholeWrite.h"

#include <cerrno>
#include <unistd.h>

bool WholeWrite::to (int descriptor, const void* data, size_t size)
{
    auto* bytes = static_cast<const char*> (data);

    while (size > 0)
    {
        const auto written = ::write (descriptor, bytes, size);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        bytes += written;
        size -= (size_t) written;
    }

    return true;
}
