#include "upgrader/FirmwareImage.h"

#include "upgrader/RawBytes.h"

#include <cstdint>
#include <cstring>

namespace zorv
{
namespace
{
    using Byte = std::uint8_t;

    const char* const utf8Mark = "\xEF\xBB\xBF";
    const char* const utf16LittleEndianMark = "\xFF\xFE";
    const char* const utf16BigEndianMark = "\xFE\xFF";

    bool isWhitespace (std::uint32_t c)
    {
        return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    // No control but whitespace: the C0 controls and DEL. A byte from 0x80
    // up is a letter or a sign in Latin-1 and the Windows code pages alike
    // (the quote marks and dashes of Windows' Latin-1 lie at 0x80 to 0x9F).
    bool isTextByte (Byte b)
    {
        return (b >= 0x20 && b != 0x7F) || isWhitespace (b);
    }

    // A character that a text would hold: no control character but
    // whitespace, nothing for private use, no noncharacter, no surrogate.
    bool isTextCharacter (std::uint32_t c)
    {
        if (c < 0x80)
            return isTextByte ((Byte) c);

        const bool control = c < 0xA0;
        const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
        const bool nonCharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;

        return ! control && ! privateUse && ! nonCharacter && ! surrogate && c <= 0x10FFFF;
    }

    // Byte for byte: a case-blind comparison would take other bytes for a mark.
    bool startsWithMark (const Byte* bytes, size_t size, const char* mark)
    {
        const auto length = std::strlen (mark);
        return size >= length && std::memcmp (bytes, mark, length) == 0;
    }

    size_t lengthWithoutPadding (const Byte* bytes, size_t size)
    {
        while (size > 0 && bytes[size - 1] == 0)
            --size;

        return size;
    }

    bool isSingleByteText (const Byte* bytes, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            if (! isTextByte (bytes[i]))
                return false;

        return true;
    }

    // Well-formed UTF-8 (no overlong form, no surrogate) of text characters.
    bool isUtf8Text (const Byte* bytes, size_t size)
    {
        size_t i = startsWithMark (bytes, size, utf8Mark) ? 3 : 0;

        while (i < size)
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

            if (c < least || ! isTextCharacter (c))
                return false;

            i += length;
        }

        return true;
    }

    // Well-formed UTF-16 (surrogates in pairs only) of text characters, in
    // one byte order. `size` bytes are the text, the NUL padding behind it
    // set aside; its last unit may end in that padding, as far as
    // `available` bytes reach.
    // Without its mark, UTF-16 shows its byte order only by the zero bytes of
    // its ASCII characters, so at least half of them must be ASCII: binary
    // data read two bytes at a time is made of text characters often enough
    // (string tables, tables of small numbers), but almost never of ASCII.
    bool isUtf16Text (const Byte* bytes, size_t size, size_t available, bool bigEndian)
    {
        const size_t end = size + size % 2;

        if (end > available)
            return false;

        const auto unitAt = [bytes, bigEndian] (size_t i) -> std::uint32_t
        {
            return bigEndian ? (std::uint32_t) ((bytes[i] << 8) | bytes[i + 1])
                             : (std::uint32_t) ((bytes[i + 1] << 8) | bytes[i]);
        };

        const bool marked = startsWithMark (bytes, end, bigEndian ? utf16BigEndianMark : utf16LittleEndianMark);
        size_t characters = 0, ascii = 0;

        for (size_t i = marked ? 2 : 0; i < end; i += 2)
        {
            auto c = unitAt (i);

            if (c >= 0xD800 && c <= 0xDBFF && i + 2 < end)
            {
                const auto low = unitAt (i + 2);

                if (low >= 0xDC00 && low <= 0xDFFF)
                {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }

            // A surrogate left as it is was not one of a pair.
            if (! isTextCharacter (c))
                return false;

            ++characters;

            if (c < 0x80)
                ++ascii;
        }

        return marked || ascii * 2 >= characters;
    }
}

FirmwareImage::Verdict FirmwareImage::check (const void* bytes, size_t size)
{
    if (size < minSize)
        return Verdict::tooShort;

    if (size >= maxSize)
        return Verdict::tooLong;

    if (looksLikeWebPage (bytes, size))
        return Verdict::webPage;

    if (isText (bytes, size))
        return Verdict::text;

    return Verdict::image;
}

bool FirmwareImage::isText (const void* data, size_t size)
{
    const auto* bytes = static_cast<const Byte*> (data);
    const auto length = lengthWithoutPadding (bytes, size);

    if (length == 0)
        return false;

    return isSingleByteText (bytes, length)
        || isUtf8Text (bytes, length)
        || isUtf16Text (bytes, length, size, false)
        || isUtf16Text (bytes, length, size, true);
}

bool FirmwareImage::looksLikeWebPage (const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*> (data);
    size_t start = 0;

    if (startsWithMark (static_cast<const Byte*> (data), size, utf8Mark))
        start = 3;

    while (start < size && juce::CharacterFunctions::isWhitespace (bytes[start]))
        ++start;

    return startsWithIgnoringCase (bytes + start, size - start, "<!DOCTYPE")
        || startsWithIgnoringCase (bytes + start, size - start, "<html");
}
}
