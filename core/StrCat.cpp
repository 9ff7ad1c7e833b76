#include "core/StrCat.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

char* strcat_0 (const char* first, ...)
{
    const size_t firstLength = first != nullptr ? std::strlen (first) : 0;
    size_t furtherLength = 0;

    va_list args;
    va_start (args, first);

    for (auto* text = va_arg (args, const char*); text != nullptr; text = va_arg (args, const char*))
        furtherLength += std::strlen (text);

    va_end (args);

    if (furtherLength == 0)
        return const_cast<char*> (first);

    auto* joined = static_cast<char*> (std::malloc (firstLength + furtherLength + 1));

    if (joined == nullptr)
        return const_cast<char*> (first);

    if (firstLength > 0)
        std::memcpy (joined, first, firstLength);

    auto* end = joined + firstLength;

    va_start (args, first);

    for (auto* text = va_arg (args, const char*); text != nullptr; text = va_arg (args, const char*))
    {
        const auto length = std::strlen (text);
        std::memcpy (end, text, length);
        end += length;
    }

    va_end (args);

    *end = '\0';
    return joined;
}
