#include "platform/RegularFile.h"
#include "upgrader/FirmwareImage.h"
#include "tests/upgrader/TextSamples.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <random>

// What bytes may pass for a firmware image, as the download and step 4 both
// check them.
namespace
{
    using zorv::FirmwareImage;
    using Verdict = FirmwareImage::Verdict;
    using namespace text_samples;

    juce::MemoryBlock join (std::initializer_list<juce::MemoryBlock> parts)
    {
        juce::MemoryBlock bytes;

        for (const auto& part : parts)
            bytes.append (part.getData(), part.getSize());

        return bytes;
    }

    // Thumb instructions as a Cortex-M stores them: halfwords, little end first.
    juce::MemoryBlock halfwords (std::initializer_list<std::uint16_t> units)
    {
        juce::MemoryBlock bytes;

        for (const auto unit : units)
        {
            const char pair[] = { (char) (unit & 0xFF), (char) (unit >> 8) };
            bytes.append (pair, 2);
        }

        return bytes;
    }

    // `bytes` over and over, cut at `size`.
    juce::MemoryBlock repeated (const juce::MemoryBlock& bytes, size_t size)
    {
        juce::MemoryBlock result (size);

        for (size_t i = 0; i < size; ++i)
            result[i] = bytes[i % bytes.getSize()];

        return result;
    }

    // The code at a Cortex-M4 image's start, as GCC builds it: the reset
    // handler that copies .data and clears .bss, SystemInit switching the
    // FPU on, main's start and the default handler. No halfword is zero.
    juce::MemoryBlock thumbCode()
    {
        return halfwords ({ 0xF8DF, 0xD034, 0x2100, 0xE003, 0x4B0C, 0x585B, 0x5043, 0x3104, 0x480B, 0x4B0B,
                            0x1842, 0x429A, 0xD3F6, 0x4A0A, 0xE002, 0x2300, 0xF842, 0x3B04, 0x4B08, 0x429A,
                            0xD3F9, 0xF000, 0xF813, 0xF000, 0xF8A4, 0xF000, 0xF85E, 0x4770, 0xE7FE, 0xBF00,
                            0x4B05, 0xF8D3, 0x2088, 0xF442, 0x0270, 0xF8C3, 0x2088, 0x4770,
                            0xB580, 0xAF00, 0xF000, 0xF9D2, 0xF000, 0xF830, 0xE7FE, 0xBF00 });
    }

    // Symbol names one after another, each ending in a NUL.
    juce::MemoryBlock stringTable()
    {
        const char names[] = "Reset_Handler\0SystemInit\0main\0HAL_Init\0SystemClock_Config\0HAL_GetTick\0uwTick\0"
                             "HAL_UART_Transmit\0USART2_IRQHandler\0MX_GPIO_Init\0Error_Handler\0";
        const juce::MemoryBlock once (names, sizeof (names) - 1);
        return repeated (once, once.getSize() * 6);
    }

    // Calibration values, 16 bits each, from 0x0100 up to 0x1CFF: read as
    // UTF-16 they are letters of a dozen scripts.
    juce::MemoryBlock numberTable()
    {
        juce::MemoryBlock bytes;

        for (unsigned i = 0; i < 600; ++i)
            bytes.append (halfwords ({ (std::uint16_t) (0x0100 + (i * 0x3C5) % 0x1C00) }).getData(), 2);

        return bytes;
    }

    // In the order of the verdicts.
    const char* const verdictNames[] = { "image", "too short", "too long", "web page", "text" };

    // Bytes as they are written, whatever they would read as.
    juce::MemoryBlock raw (const char* bytes)
    {
        return { bytes, std::strlen (bytes) };
    }

    juce::String chineseNotes()
    {
        return juce::String::repeatedString (juce::String::fromUTF8 ("\xE5\x9B\xBA\xE4\xBB\xB6\xE7\x89\x88\xE6\x9C\xAC 2.18 "
                                                                     "\xE6\x9B\xB4\xE6\x96\xB0\xE8\xAF\xB4\xE6\x98\x8E\n"
                                                                     "\xE4\xBF\xAE\xE5\xA4\x8D\xE4\xBA\x86\xE6\x8E\xA8\xE5\xAD\x90"
                                                                     "\xE6\xA0\xA1\xE5\x87\x86\xE9\x97\xAE\xE9\xA2\x98\xE3\x80\x82\n"),
                                             20);
    }
}

TEST (FirmwareImage, EachKindOfBytesGetsItsVerdict)
{
    const auto code = thumbCode();
    const auto englishNotes = juce::String::repeatedString ("Firmware 2.18: fader calibration reworked.\r\n", 20);

    struct Case { const char* name; juce::MemoryBlock bytes; Verdict verdict; };
    const Case cases[] = {
        // Sizes: the upload takes 512 bytes up to 2 MiB, not including it.
        { "no bytes",                               {},                                                 Verdict::tooShort },
        { "one byte short of the smallest image",   repeated (code, FirmwareImage::minSize - 1),        Verdict::tooShort },
        { "the smallest image",                     repeated (code, FirmwareImage::minSize),            Verdict::image },
        { "the largest image",                      repeated (code, FirmwareImage::maxSize - 1),        Verdict::image },
        { "one byte past the largest image",        repeated (code, FirmwareImage::maxSize),            Verdict::tooLong },

        // Binaries, whatever their bytes could read as.
        { "Thumb code without a zero halfword",     repeated (code, 1024),                              Verdict::image },
        { "symbol names between NULs",              stringTable(),                                      Verdict::image },
        { "a table of 16-bit numbers",              numberTable(),                                      Verdict::image },
        { "calls behind a UTF-16LE mark",           join ({ utf16 ({}, false, true), repeated (halfwords ({ 0xF000, 0xF813 }), 800) }), Verdict::image },
        { "C1 controls behind a UTF-16BE mark",     join ({ utf16 ({}, true, true), repeated (utf16 (juce::String::charToString (0x85) + "ab", true, false), 800) }), Verdict::image },
        { "noncharacters behind a UTF-16LE mark",   join ({ utf16 ({}, false, true), repeated (halfwords ({ 0xFFFF, 0x0041 }), 800) }), Verdict::image },
        { "a lone surrogate in UTF-16",             join ({ utf16 (englishNotes, false, true), halfwords ({ 0xD800 }), utf16 (englishNotes, false, false) }), Verdict::image },

        // Text, in whatever encoding and padding it came.
        { "JSON error in UTF-8 with accents",       jsonErrorWithAccents(),                             Verdict::text },
        { "Latin-1 release notes",                  latin1ReleaseNotes(),                               Verdict::text },
        { "UTF-16LE page without a mark",           utf16LittleEndianPageWithoutMark(),                 Verdict::text },
        { "ASCII text padded with NULs",            asciiTextPaddedWithNuls(),                          Verdict::text },
        { "Windows' Latin-1 with curly quotes",     repeated (raw ("\x93Shuttle\x94 \x96 jog wheel steps\r\n"), 900), Verdict::text },
        { "UTF-8 behind its mark",                  join ({ raw ("\xEF\xBB\xBF"), utf8 (chineseNotes()) }),  Verdict::text },
        { "UTF-16BE without a mark",                utf16 (englishNotes, true, false),                  Verdict::text },
        { "UTF-16LE, mark, odd NUL padding",        join ({ utf16 (englishNotes, false, true), juce::MemoryBlock (3, true) }), Verdict::text },
        { "Chinese behind a UTF-16LE mark",         utf16 (chineseNotes(), false, true),                Verdict::text },
        { "Chinese behind a UTF-16BE mark",         utf16 (chineseNotes(), true, true),                 Verdict::text },

        // A web page need not be text throughout.
        { "page behind a UTF-8 mark, then binary",  join ({ raw ("\xEF\xBB\xBF\r\n<!DOCTYPE html>\n<html>"), repeated (code, 900) }), Verdict::webPage },
    };

    for (const auto& c : cases)
        EXPECT_STREQ (verdictNames[(int) FirmwareImage::check (c.bytes.getData(), c.bytes.getSize())], verdictNames[(int) c.verdict]) << c.name;
}

TEST (FirmwareImage, NoBinaryOfTheBuildNorRandomBytesPassForText)
{
    // The pieces the rule must never take for text, each with the bytes an
    // image of it would hold: the whole of it, cut to the largest image.
    const auto expectNoText = [] (const juce::String& name, const void* bytes, size_t size)
    {
        EXPECT_FALSE (FirmwareImage::isText (bytes, size)) << name;
        EXPECT_FALSE (FirmwareImage::looksLikeWebPage (bytes, size)) << name;

        if (size >= FirmwareImage::minSize)
        {
            EXPECT_STREQ (verdictNames[(int) FirmwareImage::check (bytes, std::min (size, FirmwareImage::maxSize - 1))], "image") << name;
        }
    };

    // Every program, library and object file the build has made, this test
    // program among them. The tests' scratch files are none, and a FIFO
    // there would hold the read for good.
    const juce::File scratch (QUELT_TEST_BINARY_DIR "/tmp");
    int programs = 0, objects = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (juce::File (QUELT_BUILD_DIR), true, "*", juce::File::findFiles))
    {
        const auto file = entry.getFile();

        if (file.isAChildOf (scratch) || ! RegularFile::exists (file))
            continue;

        juce::MemoryMappedFile mapped (file, juce::MemoryMappedFile::readOnly);
        const auto* bytes = static_cast<const char*> (mapped.getData());
        const auto size = mapped.getSize();

        const bool elf = size >= 18 && std::memcmp (bytes, "\x7F" "ELF", 4) == 0;
        const bool archive = size >= 8 && std::memcmp (bytes, "!<arch>\n", 8) == 0;

        if (! elf && ! archive)
            continue;

        // ELF's file type: 1 an object file, 2 and 3 a program or a library.
        if (archive || bytes[16] == 1)
            ++objects;
        else
            ++programs;

        expectNoText (file.getFullPathName(), bytes, size);
    }

    EXPECT_GE (programs, 3);
    EXPECT_GE (objects, 20);

    // The pictures the program embeds.
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        int size = 0;
        const auto* bytes = BinaryData::getNamedResource (BinaryData::namedResourceList[i], size);
        ASSERT_NE (bytes, nullptr);
        expectNoText (BinaryData::namedResourceList[i], bytes, (size_t) size);
    }

    // Random bytes, and random bytes half of which are zero, of image sizes,
    // alone and behind each byte-order mark. The generator is the standard's
    // own, seeded, so that a failure comes back on every run.
    std::mt19937 random (20240522);
    const char* const marks[] = { "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF" };

    for (const auto* mark : marks)
    {
        for (int sample = 0; sample < 400; ++sample)
        {
            const bool sparse = sample % 2 == 1;
            juce::MemoryBlock bytes (FirmwareImage::minSize + random() % 8192);

            for (size_t i = 0; i < bytes.getSize(); ++i)
                bytes[i] = (char) (sparse && random() % 2 == 0 ? 0 : random() & 0xFF);

            bytes.copyFrom (mark, 0, std::strlen (mark));
            expectNoText ("random sample " + juce::String (sample) + " behind \"" + juce::String::toHexString (mark, (int) std::strlen (mark)) + "\"",
                          bytes.getData(), bytes.getSize());
        }
    }
}
