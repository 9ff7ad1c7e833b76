#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

// Text that a server or a user hands over in place of a firmware image, each
// of a size the upload would take. The download's table, step 4's and the
// image rule's refuse the same bytes.
namespace text_samples
{
    inline juce::MemoryBlock utf8 (const juce::String& text)
    {
        return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
    }

    // One byte a character; every character of `text` lies below 256.
    inline juce::MemoryBlock latin1 (const juce::String& text)
    {
        juce::MemoryBlock bytes;

        for (auto c : text)
        {
            jassert (c < 256);
            const auto byte = (char) c;
            bytes.append (&byte, 1);
        }

        return bytes;
    }

    // Two bytes a code unit, in the byte order asked for, behind that order's
    // byte-order mark when asked.
    inline juce::MemoryBlock utf16 (const juce::String& text, bool bigEndian, bool withMark)
    {
        juce::MemoryBlock bytes;

        const auto append = [&bytes, bigEndian] (std::uint16_t unit)
        {
            const char pair[] = { (char) (bigEndian ? unit >> 8 : unit & 0xFF), (char) (bigEndian ? unit & 0xFF : unit >> 8) };
            bytes.append (pair, 2);
        };

        if (withMark)
            append (0xFEFF);

        const auto units = text.toUTF16();

        for (auto* unit = units.getAddress(); *unit != 0; ++unit)
            append ((std::uint16_t) *unit);

        return bytes;
    }

    // An API's error in JSON, accented letters and all, sent as UTF-8
    // without a mark.
    inline juce::MemoryBlock jsonErrorWithAccents()
    {
        const auto detail = juce::String::fromUTF8 ("    { \"r\xC3\xA9""f\xC3\xA9rence\": \"trevan_m_2.0.bin\", "
                                                    "\"raison\": \"mod\xC3\xA8le inconnu ou retir\xC3\xA9\" },\n");
        return utf8 (juce::String::fromUTF8 ("{\n  \"erreur\": \"Le micrologiciel demand\xC3\xA9 n'est plus disponible. "
                                             "V\xC3\xA9rifiez la r\xC3\xA9""f\xC3\xA9rence et r\xC3\xA9""essayez.\",\n"
                                             "  \"d\xC3\xA9tails\": [\n")
                     + juce::String::repeatedString (detail, 12) + "    {}\n  ]\n}\n");
    }

    // Release notes saved as Latin-1.
    inline juce::MemoryBlock latin1ReleaseNotes()
    {
        const auto entry = juce::String::fromUTF8 ("- Fader-Kalibrierung \xC3\xBC""berarbeitet: Ausschl\xC3\xA4ge unter 0,5\xC2\xB0 "
                                                   "werden nicht mehr gemeldet.\r\n"
                                                   "- Gro\xC3\x9F""e Jog-Rad-Schritte (\xC2\xBB""Shuttle\xC2\xAB) "
                                                   "hinzugef\xC3\xBCgt.\r\n");
        return latin1 (juce::String::fromUTF8 ("Trevan M Firmware 2.18 - Versionshinweise\r\n\r\n\xC3\x84nderungen:\r\n")
                       + juce::String::repeatedString (entry, 12));
    }

    // A server's error page as UTF-16LE without a byte-order mark.
    inline juce::MemoryBlock utf16LittleEndianPageWithoutMark()
    {
        const juce::String paragraph ("<p>The requested URL was not found on this server.</p>\r\n");
        return utf16 ("<!DOCTYPE html>\r\n<html><head><title>404 Not Found</title></head>\r\n<body><h1>Not Found</h1>\r\n"
                          + juce::String::repeatedString (paragraph, 14) + "</body></html>\r\n",
                      false, false);
    }

    // ASCII text, then NUL bytes up to 4000 bytes, as a fixed-size record
    // would be saved.
    inline juce::MemoryBlock asciiTextPaddedWithNuls()
    {
        auto bytes = utf8 (juce::String::repeatedString ("Service temporarily unavailable. Please try again later.\r\n", 16));
        bytes.setSize (4000, true);
        return bytes;
    }
}
