#pragma once

#include <cstddef>

namespace zorv
{
    // What bytes must be to pass for a firmware image, wherever they come
    // from: the firmware host or a file the user picks in step 4. Both take
    // them through check(); the upload asks hasUploadableSize() again.
    class FirmwareImage
    {
    public:
        // The upload takes images of minSize bytes up to, not including,
        // maxSize bytes.
        static constexpr size_t minSize = 512;
        static constexpr size_t maxSize = 0x200000;

        static constexpr bool hasUploadableSize (size_t size) noexcept
        {
            return size >= minSize && size < maxSize;
        }

        // What check() finds; each source words its own refusal.
        enum class Verdict
        {
            image,
            tooShort,
            tooLong,
            webPage,
            text
        };

        // The one test of the bytes themselves, in this order: a size the
        // upload takes, no web page, not text.
        static Verdict check (const void* bytes, size_t size);

        // A firmware file is a binary (*.bin). Bytes that are text from end
        // to end are a stand-in for one (an error page, a JSON message,
        // release notes, a listing, a file saved by the wrong link), in
        // whatever encoding they came. Trailing NUL bytes are padding and are
        // set aside; the rest is text when it is any of
        // - UTF-8 of text characters, with or without its byte-order mark;
        // - UTF-16 of text characters in either byte order, surrogates in
        //   pairs only, behind its byte-order mark, or without one when at
        //   least half of its characters are ASCII;
        // - single-byte text: no control byte but whitespace (Latin-1 and
        //   the Windows code pages).
        // A text character is no control character but whitespace, nothing
        // for private use, no noncharacter. No bytes at all are not text.
        static bool isText (const void* bytes, size_t size);

        // A captive portal or a misconfigured server answers with a web page,
        // whatever it calls it, and the page need not be text throughout.
        static bool looksLikeWebPage (const void* bytes, size_t size);
    };
}
