#include "core/StrictXml.h"

#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
    bool isSpace (char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    bool isNameChar (char c)
    {
        const auto u = static_cast<unsigned char> (c);
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '_' || u == '-' || u == '.' || u == ':' || u >= 0x80;
    }

    int hexDigitValue (char c)
    {
        if (c >= '0' && c <= '9')  return c - '0';
        if (c >= 'a' && c <= 'f')  return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')  return c - 'A' + 10;
        return -1;
    }

    // The characters XML allows, which a character reference must name.
    bool isXmlChar (juce::int64 c)
    {
        return c == 0x9 || c == 0xA || c == 0xD
            || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
    }

    // The code point of the UTF-8 sequence at s[i] and its length in bytes;
    // a length of 0 when the sequence is malformed.
    std::pair<juce::int64, size_t> codePointAt (const std::string& s, size_t i)
    {
        const auto first = static_cast<unsigned char> (s[i]);

        if (first < 0x80)
            return { first, 1 };

        const size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;

        if (length == 0 || first > 0xF4 || i + length > s.size())
            return { 0, 0 };

        juce::int64 code = first & (0x7F >> length);

        for (size_t k = 1; k < length; ++k)
        {
            const auto next = static_cast<unsigned char> (s[i + k]);

            if ((next & 0xC0) != 0x80)
                return { 0, 0 };

            code = (code << 6) | (next & 0x3F);
        }

        const juce::int64 shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        return { code, code < shortest[length] ? 0 : length };
    }

    class Checker
    {
    public:
        Checker (std::string text, const StrictXml::Limits& l) : s (std::move (text)), limits (l) {}

        bool document()
        {
            if (startsWith ("\xEF\xBB\xBF"))
                i = 3;

            if (! skipMisc (true) || ! startsWith ("<"))
                return false;

            if (! content())
                return false;

            return skipMisc (false) && i == s.size();
        }

    private:
        bool startsWith (const char* prefix) const
        {
            return s.compare (i, std::strlen (prefix), prefix) == 0;
        }

        bool skipPast (const char* terminator)
        {
            const auto end = s.find (terminator, i);

            if (end == std::string::npos)
                return false;

            i = end + std::strlen (terminator);
            return true;
        }

        // A comment, CDATA section or processing instruction starting at i.
        bool skipSection (const char* opener, const char* terminator)
        {
            i += std::strlen (opener);
            return skipPast (terminator);
        }

        void skipSpace()
        {
            while (i < s.size() && isSpace (s[i]))
                ++i;
        }

        std::string readName()
        {
            const auto start = i;

            while (i < s.size() && isNameChar (s[i]))
                ++i;

            return s.substr (start, i - start);
        }

        // JUCE ends a document type where its angle brackets balance, quoted
        // or not; the check must resume where the parser resumes.
        bool skipDocumentType()
        {
            i += 9;

            for (int open = 1; open > 0; ++i)
            {
                if (i >= s.size())
                    return false;

                open += (s[i] == '<') ? 1 : (s[i] == '>' ? -1 : 0);
            }

            return true;
        }

        // Comments, processing instructions and white space, which may stand
        // before and after the root; a document type only before it.
        bool skipMisc (bool allowDocumentType)
        {
            for (;;)
            {
                skipSpace();

                if (startsWith ("<!--"))
                {
                    if (! skipSection ("<!--", "-->"))
                        return false;
                }
                else if (startsWith ("<?"))
                {
                    if (! skipSection ("<?", "?>"))
                        return false;
                }
                else if (allowDocumentType && startsWith ("<!DOCTYPE"))
                {
                    if (! skipDocumentType())
                        return false;

                    allowDocumentType = false;
                }
                else
                {
                    return true;
                }
            }
        }

        // One of the five predefined entities or a character reference, at
        // s[i] == '&'; the length of what it stands for in UTF-8, 0 when it
        // is refused. JUCE reads at most 8 hex or 12 decimal digits.
        int reference()
        {
            ++i;

            for (auto* name : { "amp;", "lt;", "gt;", "quot;", "apos;" })
            {
                if (startsWith (name))
                {
                    i += std::strlen (name);
                    return 1;
                }
            }

            if (! startsWith ("#"))
                return 0;

            const bool hex = startsWith ("#x");
            i += hex ? 2 : 1;

            const auto maxDigits = hex ? 8u : 12u;
            juce::int64 code = 0;
            size_t digits = 0;

            for (; i < s.size() && s[i] != ';'; ++i, ++digits)
            {
                const int digit = hex ? hexDigitValue (s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);

                if (digit < 0 || digits >= maxDigits)
                    return 0;

                code = code * (hex ? 16 : 10) + digit;
            }

            if (i >= s.size() || digits == 0 || ! isXmlChar (code))
                return 0;

            ++i;
            return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        }

        // One character of text or of an attribute value at s[i]: a reference
        // or a character XML allows. Its length in UTF-8 as JUCE will hold
        // it; 0 when it is refused. The program writes every character
        // outside printable ASCII back as a reference, which must pass too.
        size_t character()
        {
            if (s[i] == '&')
                return (size_t) reference();

            const auto [code, length] = codePointAt (s, i);

            if (length == 0 || ! isXmlChar (code))
                return 0;

            i += length;
            return length;
        }

        // Text up to the next '<'.
        bool text()
        {
            while (i < s.size() && s[i] != '<')
                if (character() == 0)
                    return false;

            return true;
        }

        // A quoted attribute value at s[i], with no '<' and checked
        // references. Its length is measured as JUCE will hold it, references
        // resolved, so that the value the program writes back (escaped anew)
        // measures the same.
        bool attributeValue()
        {
            const char quote = s[i++];
            size_t length = 0;

            while (i < s.size() && s[i] != quote)
            {
                if (s[i] == '<')
                    return false;

                const auto resolved = character();

                if (resolved == 0)
                    return false;

                length += resolved;

                if (length > (size_t) limits.maxAttributeValueLength)
                    return false;
            }

            if (i >= s.size())
                return false;

            ++i;
            return true;
        }

        // A start tag at s[i] == '<' with its attributes, each name="value",
        // no name twice.
        bool startTag (std::string& name, bool& isEmptyElement)
        {
            ++i;
            name = readName();

            if (name.empty() || ++numElements > limits.maxElements)
                return false;

            std::vector<std::string> attributes;

            for (;;)
            {
                const auto beforeSpace = i;
                skipSpace();

                if (i >= s.size())
                    return false;

                if (s[i] == '>')
                {
                    ++i;
                    isEmptyElement = false;
                    return true;
                }

                if (startsWith ("/>"))
                {
                    i += 2;
                    isEmptyElement = true;
                    return true;
                }

                if (i == beforeSpace)
                    return false;

                auto attribute = readName();

                if (attribute.empty()
                     || (int) attributes.size() >= limits.maxAttributesPerElement
                     || ++numAttributes > limits.maxAttributes)
                    return false;

                for (const auto& earlier : attributes)
                    if (earlier == attribute)
                        return false;

                attributes.push_back (std::move (attribute));
                skipSpace();

                if (i >= s.size() || s[i] != '=')
                    return false;

                ++i;
                skipSpace();

                if (i >= s.size() || (s[i] != '"' && s[i] != '\'') || ! attributeValue())
                    return false;
            }
        }

        // The root element at s[i] == '<' and everything inside it.
        bool content()
        {
            std::vector<std::string> open;
            std::string name;
            bool isEmptyElement = false;

            if (! startTag (name, isEmptyElement))
                return false;

            if (! isEmptyElement)
                open.push_back (name);

            while (! open.empty())
            {
                if (i >= s.size())
                    return false;

                if (s[i] != '<')
                {
                    if (! text())
                        return false;
                }
                else if (startsWith ("<!--"))
                {
                    if (! skipSection ("<!--", "-->"))
                        return false;
                }
                else if (startsWith ("<![CDATA["))
                {
                    if (! skipSection ("<![CDATA[", "]]>"))
                        return false;
                }
                else if (startsWith ("</"))
                {
                    i += 2;
                    const auto closed = readName();
                    skipSpace();

                    if (closed != open.back() || i >= s.size() || s[i] != '>')
                        return false;

                    ++i;
                    open.pop_back();
                }
                else
                {
                    // A processing instruction ("<?") has no name and ends here.
                    if (! startTag (name, isEmptyElement))
                        return false;

                    if (! isEmptyElement)
                    {
                        if ((int) open.size() >= limits.maxDepth)
                            return false;

                        open.push_back (name);
                    }
                }
            }

            return true;
        }

        const std::string s;
        const StrictXml::Limits limits;
        size_t i = 0;
        int numElements = 0;
        int numAttributes = 0;
    };
}

StrictXml::Limits StrictXml::defaultLimits()
{
    Limits l;
    l.maxDepth = 32;
    l.maxElements = 65536;
    l.maxAttributesPerElement = 64;
    l.maxAttributes = 65536;
    l.maxAttributeValueLength = 4096;
    return l;
}

bool StrictXml::isWellFormed (const juce::String& text)
{
    return isWellFormed (text, defaultLimits());
}

bool StrictXml::isWellFormed (const juce::String& text, const Limits& limits)
{
    return Checker (text.toStdString(), limits).document();
}

std::unique_ptr<juce::XmlElement> StrictXml::parse (const juce::MemoryBlock& bytes, const Limits& limits)
{
    if (bytes.isEmpty() || bytes.getSize() > (size_t) std::numeric_limits<int>::max()
         || std::memchr (bytes.getData(), 0, bytes.getSize()) != nullptr)
        return {};

    // JUCE reads one byte past data that holds nothing but a UTF-8 byte
    // order mark; a terminator keeps that read inside the buffer.
    juce::MemoryBlock terminated (bytes);
    terminated.append ("", 1);

    const auto text = juce::String::createStringFromData (terminated.getData(), (int) bytes.getSize());

    if (! isWellFormed (text, limits))
        return {};

    return juce::parseXML (text);
}
