#pragma once

#include <cstddef>

namespace zorv
{
    // What bytes must be to pass for a firmware image, wherever they come
    // from: the firmware host or a file the user picks in step 4. The rules
    // the download, step 4 and the upload apply all live here.
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

        // A firmware file is a binary (*.bin). Bytes that are text from end
        // to end are a stand-in for one (an error page, a JSON message, a
        // listing, a file saved by the wrong link), however they are marked:
        // printable ASCII and whitespace, or text behind a UTF-8 or UTF-16
        // byte-order mark. No bytes at all are not text.
        static bool isText (const void* bytes, size_t size);

        // A captive portal or a misconfigured server answers with a web page,
        // whatever it calls it, and the page need not be text throughout.
        static bool looksLikeWebPage (const void* bytes, size_t size);
    };
}
