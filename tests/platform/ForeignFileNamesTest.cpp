#include "tests/support/ForeignFileNames.h"

#include <gtest/gtest.h>

// Text that is not UTF-8 (Latin-1 file names, stray bytes, overlong or cut-off
// sequences) as JUCE reads it with our mend of its UTF-8 decoding
// (cmake/juce_core-utf8-mend.patch). Unmended, a String made of such bytes
// overran the heap; the sanitizers stop the run at the first overrun.
#if ! QUELT_JUCE_UTF8_MEND
 #error "built against JUCE's own juce_core, not the mended copy: see cmake/QueltJucePatch.cmake"
#endif

namespace
{
    struct Case
    {
        std::string bytes;
        std::u32string chars;   // as read: a byte that starts no sequence is its Latin-1 character
        bool valid;
    };

    std::u32string latin1 (const std::string& bytes)
    {
        std::u32string s;

        for (auto b : bytes)
            s += (char32_t) (unsigned char) b;

        return s;
    }

    std::u32string readForwards (juce::CharPointer_UTF8 p)
    {
        std::u32string s;

        while (auto c = p.getAndAdvance())
            s += (char32_t) c;

        return s;
    }

    std::u32string readBackwards (juce::CharPointer_UTF8 start)
    {
        std::u32string s;

        for (auto p = start.findTerminatingNull(); p > start;)
            s.insert (s.begin(), (char32_t) *--p);

        return s;
    }
}

TEST (ForeignFileNames, StringsKeepTheirBytesAndReadTheSameEveryWay)
{
    const auto names = foreign_names::names (".quelt");
    const std::vector<Case> cases {
        { names[0], latin1 (names[0]), false },
        { names[1], latin1 (names[1]), false },
        { "\xC1\x81", U"\u00C1\u0081", false },             // an overlong "A"
        { "\xC0\x80x", U"\u00C0\u0080x", false },           // an overlong NUL
        { "a\xE2\x82", U"a\u00E2\u0082", false },           // cut off by the end
        { "\xE2\x82 \xF4\x90\x80\x80", U"\u00E2\u0082 \u00F4\u0090\u0080\u0080", false },  // cut off; past U+10FFFF
        { "\xE0\x80\x80", U"\u00E0\u0080\u0080", false },             // overlong NUL, 3 bytes
        { "\xE0\x9F\xBF", U"\u00E0\u009F\u00BF", false },             // overlong U+07FF
        { "\xF0\x80\x80\x80", U"\u00F0\u0080\u0080\u0080", false },   // overlong NUL, 4 bytes
        { "\xF0\x8F\xBF\xBF", U"\u00F0\u008F\u00BF\u00BF", false },   // overlong U+FFFF
        { "\xE0\xA0\x80\xF0\x90\x80\x80", U"\u0800\U00010000", true },  // the shortest forms just past them
        { "\xE2\x82\xAC\xF0\x9F\x8E\x9B", U"\u20AC\U0001F39B", true },
    };

    for (const auto& c : cases)
    {
        const juce::String s (juce::CharPointer_UTF8 (c.bytes.c_str()));
        SCOPED_TRACE (juce::String::toHexString (c.bytes.data(), (int) c.bytes.size()).toStdString());

        EXPECT_EQ (s.toStdString(), c.bytes);
        EXPECT_EQ (s.getNumBytesAsUTF8(), c.bytes.size());
        EXPECT_EQ (s.length(), (int) c.chars.size());
        EXPECT_EQ (readForwards (s.getCharPointer()), c.chars);
        EXPECT_EQ (readBackwards (s.getCharPointer()), c.chars);
        EXPECT_EQ (juce::CharPointer_UTF8::isValidString (c.bytes.c_str(), (int) c.bytes.size()), c.valid);

        // Every other way in or out keeps the bytes too.
        EXPECT_EQ (juce::String (c.bytes).toStdString(), c.bytes);
        EXPECT_EQ (juce::String (juce::CharPointer_UTF8 (c.bytes.c_str()), c.chars.size()).toStdString(), c.bytes);
        EXPECT_EQ ((juce::String ("<") + s + ">").toStdString(), "<" + c.bytes + ">");

        std::string copied (s.getNumBytesAsUTF8() + 1, '?');
        EXPECT_EQ (s.copyToUTF8 (copied.data(), copied.size()), copied.size());
        EXPECT_EQ (copied, c.bytes + '\0');

        juce::MemoryOutputStream out;
        out << s;
        out.writeString (s);
        EXPECT_EQ (std::string ((const char*) out.getData(), out.getDataSize()), c.bytes + c.bytes + '\0');

        EXPECT_EQ (std::u32string ((const char32_t*) s.toUTF32().getAddress()), c.chars);
    }

    // What the file browser shows for the Latin-1 name.
    EXPECT_EQ (juce::String (juce::CharPointer_UTF8 (names[0].c_str())),
               juce::String::fromUTF8 ("\xC3\x80 propos de la configuration du contr\xC3\xB4leur pour le studio.quelt"));
}
