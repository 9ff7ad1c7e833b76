#include "platform/RegularFile.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
 #include <sys/stat.h>
#endif

bool RegularFile::exists (const juce::File& file)
{
   #if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    struct stat info {};
    return file.getFullPathName().isNotEmpty()
        && ::stat (file.getFullPathName().toRawUTF8(), &info) == 0
        && S_ISREG (info.st_mode);
   #else
    return file.existsAsFile();
   #endif
}
