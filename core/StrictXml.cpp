#include "core/StrictXml.h"

#include <cstring>
#include <limits>
#include <string>
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
        // s[i] == '&'. JUCE reads at most 8 hex or 12 decimal digits.
        bool reference()
        {
            ++i;

            for (auto* name : { "amp;", "lt;", "gt;", "quot;", "apos;" })
            {
                if (startsWith (name))
                {
                    i += std::strlen (name);
                    return true;
                }
            }

            if (! startsWith ("#"))
                return false;

            const bool hex = startsWith ("#x");
            i += hex ? 2 : 1;

            const auto maxDigits = hex ? 8u : 12u;
            juce::int64 code = 0;
            size_t digits = 0;

            for (; i < s.size() && s[i] != ';'; ++i, ++digits)
            {
                const int digit = hex ? hexDigitValue (s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);

                if (digit < 0 || digits >= maxDigits)
                    return false;

                code = code * (hex ? 16 : 10) + digit;
            }

            if (i >= s.size() || digits == 0 || ! isXmlChar (code))
                return false;

            ++i;
            return true;
        }

        // Text up to the next '<', its references checked.
        bool text()
        {
            while (i < s.size() && s[i] != '<')
            {
                if (s[i] == '&')
                {
                    if (! reference())
                        return false;
                }
                else
                {
                    ++i;
                }
            }

            return true;
        }

        // A quoted attribute value at s[i], with no '<' and checked references.
        bool attributeValue()
        {
            const char quote = s[i++];
            int references = 0;

            while (i < s.size() && s[i] != quote)
            {
                if (s[i] == '<')
                    return false;

                if (s[i] == '&')
                {
                    if (++references > limits.maxReferencesPerAttribute || ! reference())
                        return false;
                }
                else
                {
                    ++i;
                }
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
    l.maxReferencesPerAttribute = 64;
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

    const auto text = juce::String::createStringFromData (bytes.getData(), (int) bytes.getSize());

    if (! isWellFormed (text, limits))
        return {};

    return juce::parseXML (text);
}
