#include "core/StrictXml.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{
    bool startsWith (const std::string& s, size_t i, const char* prefix)
    {
        return s.compare (i, std::strlen (prefix), prefix) == 0;
    }

    bool skipPast (const std::string& s, size_t& i, const char* terminator)
    {
        const auto end = s.find (terminator, i);

        if (end == std::string::npos)
            return false;

        i = end + std::strlen (terminator);
        return true;
    }

    // A comment, CDATA section or processing instruction starting at i.
    bool skipSection (const std::string& s, size_t& i, const char* opener, const char* terminator)
    {
        i += std::strlen (opener);
        return skipPast (s, i, terminator);
    }

    bool isSpace (char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    void skipSpace (const std::string& s, size_t& i)
    {
        while (i < s.size() && isSpace (s[i]))
            ++i;
    }

    bool isNameChar (char c)
    {
        const auto u = static_cast<unsigned char> (c);
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '_' || u == '-' || u == '.' || u == ':' || u >= 0x80;
    }

    std::string readName (const std::string& s, size_t& i)
    {
        const auto start = i;

        while (i < s.size() && isNameChar (s[i]))
            ++i;

        return s.substr (start, i - start);
    }

    // Comments, processing instructions and white space, which may stand
    // before and after the root; a document type only before it.
    bool skipMisc (const std::string& s, size_t& i, bool allowDocumentType)
    {
        for (;;)
        {
            skipSpace (s, i);

            if (startsWith (s, i, "<!--"))
            {
                if (! skipSection (s, i, "<!--", "-->"))
                    return false;
            }
            else if (startsWith (s, i, "<?"))
            {
                if (! skipSection (s, i, "<?", "?>"))
                    return false;
            }
            else if (allowDocumentType && startsWith (s, i, "<!DOCTYPE"))
            {
                int depth = 0;

                for (i += 9; i < s.size() && ! (s[i] == '>' && depth == 0); ++i)
                    depth += (s[i] == '[') ? 1 : (s[i] == ']' ? -1 : 0);

                if (i >= s.size())
                    return false;

                ++i;
                allowDocumentType = false;
            }
            else
            {
                return true;
            }
        }
    }

    // A start tag at s[i] == '<' with its attributes, each name="value".
    bool readStartTag (const std::string& s, size_t& i, std::string& name, bool& isEmptyElement)
    {
        name = readName (s, ++i);

        if (name.empty())
            return false;

        for (;;)
        {
            const auto beforeSpace = i;
            skipSpace (s, i);

            if (i >= s.size())
                return false;

            if (s[i] == '>')
            {
                ++i;
                isEmptyElement = false;
                return true;
            }

            if (startsWith (s, i, "/>"))
            {
                i += 2;
                isEmptyElement = true;
                return true;
            }

            if (i == beforeSpace || readName (s, i).empty())
                return false;

            skipSpace (s, i);

            if (i >= s.size() || s[i] != '=')
                return false;

            skipSpace (s, ++i);

            if (i >= s.size() || (s[i] != '"' && s[i] != '\''))
                return false;

            const auto close = s.find (s[i], i + 1);

            if (close == std::string::npos || s.find ('<', i + 1) < close)
                return false;

            i = close + 1;
        }
    }

    bool isWellFormedText (const std::string& s, size_t maxDepth)
    {
        size_t i = 0;

        if (startsWith (s, 0, "\xEF\xBB\xBF"))
            i = 3;

        if (! skipMisc (s, i, true) || i >= s.size() || s[i] != '<')
            return false;

        std::string name;
        bool isEmptyElement = false;

        if (! readStartTag (s, i, name, isEmptyElement))
            return false;

        std::vector<std::string> open;

        if (! isEmptyElement)
            open.push_back (name);

        while (! open.empty())
        {
            if (i >= s.size())
                return false;

            if (s[i] != '<')
            {
                i = s.find ('<', i);

                if (i == std::string::npos)
                    return false;
            }
            else if (startsWith (s, i, "<!--"))
            {
                if (! skipSection (s, i, "<!--", "-->"))
                    return false;
            }
            else if (startsWith (s, i, "<![CDATA["))
            {
                if (! skipSection (s, i, "<![CDATA[", "]]>"))
                    return false;
            }
            else if (startsWith (s, i, "<?"))
            {
                if (! skipSection (s, i, "<?", "?>"))
                    return false;
            }
            else if (startsWith (s, i, "</"))
            {
                i += 2;
                const auto closed = readName (s, i);
                skipSpace (s, i);

                if (closed != open.back() || i >= s.size() || s[i] != '>')
                    return false;

                ++i;
                open.pop_back();
            }
            else
            {
                if (! readStartTag (s, i, name, isEmptyElement))
                    return false;

                if (! isEmptyElement)
                {
                    if (open.size() >= maxDepth)
                        return false;

                    open.push_back (name);
                }
            }
        }

        return skipMisc (s, i, false) && i == s.size();
    }
}

bool StrictXml::isWellFormed (const juce::String& text, int maxDepth)
{
    return isWellFormedText (text.toStdString(), (size_t) juce::jmax (1, maxDepth));
}
