#include "platform/DiskSync.h"

#include <fcntl.h>
#include <unistd.h>

bool DiskSync::file (int descriptor)
{
   #ifdef F_FULLFSYNC
    if (::fcntl (descriptor, F_FULLFSYNC) == 0)
        return true;
   #endif

    return ::fsync (descriptor) == 0;
}

void DiskSync::folder (const std::string& path)
{
    const auto descriptor = ::open (path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    if (descriptor >= 0)
    {
        (void) ::fsync (descriptor);
        ::close (descriptor);
    }
}
