#include "upgrader/FirmwareImage.h"

#include "upgrader/RawBytes.h"

#include <cstdint>
#include <cstring>

namespace zorv
{
namespace
{
    using Byte = std::uint8_t;

    bool isWhitespace (std::uint32_t c)
    {
        return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    bool isPrintableAscii (std::uint32_t c)
    {
        return c >= 0x20 && c < 0x7F;
    }

    // A character that a text would hold: no control character but
    // whitespace, nothing for private use and no noncharacter. Binary bytes
    // read as UTF-16 give those often enough that no image passes for text.
    bool isTextCharacter (std::uint32_t c)
    {
        if (c < 0x80)
            return isPrintableAscii (c) || isWhitespace (c);

        const bool control = c < 0xA0;
        const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
        const bool nonCharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;

        return ! control && ! privateUse && ! nonCharacter && c <= 0x10FFFF;
    }

    // Byte for byte: a case-blind comparison would take other bytes for a mark.
    bool startsWithMark (const Byte* bytes, size_t size, const char* mark)
    {
        const auto length = std::strlen (mark);
        return size >= length && std::memcmp (bytes, mark, length) == 0;
    }

    bool isAsciiText (const Byte* bytes, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            if (! isPrintableAscii (bytes[i]) && ! isWhitespace (bytes[i]))
                return false;

        return true;
    }

    // Well-formed UTF-8 (no overlong form, no surrogate) of text characters.
    bool isUtf8Text (const Byte* bytes, size_t size)
    {
        for (size_t i = 0; i < size;)
        {
            const Byte lead = bytes[i];
            size_t length = 0;
            std::uint32_t c = 0, least = 0;

            if (lead < 0x80)                        { length = 1; c = lead; }
            else if (lead >= 0xC2 && lead < 0xE0)   { length = 2; c = lead & 0x1Fu; least = 0x80; }
            else if (lead >= 0xE0 && lead < 0xF0)   { length = 3; c = lead & 0x0Fu; least = 0x800; }
            else if (lead >= 0xF0 && lead < 0xF5)   { length = 4; c = lead & 0x07u; least = 0x10000; }
            else                                    return false;

            if (length > size - i)
                return false;

            for (size_t k = 1; k < length; ++k)
            {
                if ((bytes[i + k] & 0xC0) != 0x80)
                    return false;

                c = (c << 6) | (bytes[i + k] & 0x3Fu);
            }

            if (c < least || (c >= 0xD800 && c <= 0xDFFF) || ! isTextCharacter (c))
                return false;

            i += length;
        }

        return true;
    }

    // Well-formed UTF-16 (surrogates in pairs only) of text characters.
    bool isUtf16Text (const Byte* bytes, size_t size, bool bigEndian)
    {
        if (size % 2 != 0)
            return false;

        const auto unitAt = [bytes, bigEndian] (size_t i) -> std::uint32_t
        {
            return bigEndian ? (std::uint32_t) ((bytes[i] << 8) | bytes[i + 1])
                             : (std::uint32_t) ((bytes[i + 1] << 8) | bytes[i]);
        };

        for (size_t i = 0; i < size; i += 2)
        {
            auto c = unitAt (i);

            if (c >= 0xDC00 && c <= 0xDFFF)
                return false;

            if (c >= 0xD800 && c <= 0xDBFF)
            {
                if (i + 2 >= size)
                    return false;

                const auto low = unitAt (i + 2);

                if (low < 0xDC00 || low > 0xDFFF)
                    return false;

                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }

            if (! isTextCharacter (c))
                return false;
        }

        return true;
    }
}

bool FirmwareImage::isText (const void* data, size_t size)
{
    if (size == 0)
        return false;

    const auto* bytes = static_cast<const Byte*> (data);

    if (startsWithMark (bytes, size, "\xEF\xBB\xBF"))
        return isUtf8Text (bytes + 3, size - 3);

    if (startsWithMark (bytes, size, "\xFF\xFE"))
        return isUtf16Text (bytes + 2, size - 2, false);

    if (startsWithMark (bytes, size, "\xFE\xFF"))
        return isUtf16Text (bytes + 2, size - 2, true);

    return isAsciiText (bytes, size);
}

bool FirmwareImage::looksLikeWebPage (const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*> (data);
    size_t start = 0;

    if (startsWithMark (static_cast<const Byte*> (data), size, "\xEF\xBB\xBF"))
        start = 3;

    while (start < size && juce::CharacterFunctions::isWhitespace (bytes[start]))
        ++start;

    return startsWithIgnoringCase (bytes + start, size - start, "<!DOCTYPE")
        || startsWithIgnoringCase (bytes + start, size - start, "<html");
}
}
