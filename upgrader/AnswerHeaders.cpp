#include "upgrader/AnswerHeaders.h"

#include "upgrader/RawBytes.h"

#include <cstring>

namespace zorv
{
namespace
{
    bool isBlank (char c)       { return c == ' ' || c == '\t'; }
    bool isDigit (char c)       { return c >= '0' && c <= '9'; }

    // Any byte below a blank but the tab, and DEL: libcurl keeps some and
    // drops others from what it takes, so no two readers agree on the line.
    bool isControl (char c)
    {
        const auto byte = (juce::uint8) c;
        return (byte < 0x20 && c != '\t') || byte == 0x7F;
    }

    // Header bytes as text, one character per byte: no byte can mislead a
    // text decoder.
    juce::String textOf (const char* bytes, size_t length)
    {
        juce::String text;

        for (size_t i = 0; i < length; ++i)
            text += (juce::juce_wchar) (juce::uint8) bytes[i];

        return text;
    }

    // A line in a message: printable ASCII, the rest as '?', cut short.
    juce::String quoted (const char* bytes, size_t length)
    {
        juce::String text;

        for (size_t i = 0; i < juce::jmin (length, (size_t) 60); ++i)
            text += bytes[i] >= 0x20 && bytes[i] < 0x7F ? (juce::juce_wchar) bytes[i] : (juce::juce_wchar) '?';

        return "\"" + text + "\"";
    }

    // "HTTP/1.1 200 OK", or as libcurl writes the status of HTTP/2 and later,
    // "HTTP/2 200 ". libcurl takes much else for a status line, a lower-case
    // "http/1.1 404" even, which it reads as "HTTP/1.0 200".
    bool isStatusLine (const char* line, size_t length)
    {
        if (! (length >= 10 && std::memcmp (line, "HTTP/", 5) == 0 && isDigit (line[5])))
            return false;

        size_t i = 6;

        if (line[i] == '.')
        {
            if (! isDigit (line[i + 1]))
                return false;

            i += 2;
        }

        if (! (i + 4 <= length && line[i] == ' ' && isDigit (line[i + 1]) && isDigit (line[i + 2]) && isDigit (line[i + 3])))
            return false;

        return i + 4 == length || line[i + 4] == ' ';
    }

    // The elements of comma-separated values, blanks trimmed, empty ones left out.
    juce::StringArray elementsOf (const juce::StringArray& values)
    {
        juce::StringArray elements;

        for (const auto& value : values)
            elements.addTokens (value, ",", {});

        elements.trim();
        elements.removeEmptyStrings();
        return elements;
    }

    // A length without its leading zeros, so that two lengths compare as
    // numbers, however long; empty when it is no number.
    juce::String lengthOf (const juce::String& element)
    {
        if (! element.containsOnly ("0123456789"))
            return {};

        const auto digits = element.trimCharactersAtStart ("0");
        return digits.isEmpty() ? juce::String ("0") : digits;
    }

   #if QUELT_CURL_HAS_HEADER_API
    // Every value libcurl took for the header from the answer now arriving
    // (the last request so far, 1xx answers left out).
    juce::StringArray valuesOf (CURL* easy, const char* name)
    {
        juce::StringArray values;
        curl_header* header = nullptr;

        for (size_t i = 0; curl_easy_header (easy, name, i, CURLH_HEADER, -1, &header) == CURLHE_OK; ++i)
        {
            values.add (textOf (header->value, std::strlen (header->value)));

            if (i + 1 >= header->amount)
                break;
        }

        return values;
    }
   #endif
}

//==============================================================================
AnswerHeaders::AnswerHeaders (CURL* easyHandle) : easy (easyHandle) {}

AnswerHeaders::Event AnswerHeaders::read (const char* bytes, size_t length)
{
    // libcurl ends a line at its line feed, with or without a carriage return.
    if (length > 0 && bytes[length - 1] == '\n')
        --length;

    if (length > 0 && bytes[length - 1] == '\r')
        --length;

    if (expectingStatus)
    {
        expectingStatus = false;
        fromLines = {};

        for (size_t i = 0; i < length; ++i)
            if (isControl (bytes[i]))
                return refuse ("the answer is not HTTP: its status line holds a control byte");

        if (! isStatusLine (bytes, length))
            return refuse ("the answer is not HTTP: its status line reads " + quoted (bytes, length));

        return Event::line;
    }

    if (length == 0)
        return endOfAnswer();

    // libcurl takes the continuation of a folded header for a header of its
    // own, and the header it continues as it was before.
    if (isBlank (bytes[0]))
        return refuse ("a folded header line");

    for (size_t i = 0; i < length; ++i)
        if (isControl (bytes[i]))
            return refuse ("a header line holding a control byte: " + quoted (bytes, length));

    const auto* colon = static_cast<const char*> (std::memchr (bytes, ':', length));

    // A newer libcurl refuses such a line itself.
    if (colon == nullptr)
        return refuse ("a header line without a colon: " + quoted (bytes, length));

    // libcurl would take the blank as a part of the name, and no header of
    // that name would be seen.
    if (colon > bytes && isBlank (colon[-1]))
        return refuse ("a blank before a header's colon: " + quoted (bytes, length));

   #if ! QUELT_CURL_HAS_HEADER_API
    noteField (bytes, length, (size_t) (colon - bytes));
   #endif

    return Event::line;
}

void AnswerHeaders::noteField (const char* line, size_t length, size_t nameLength)
{
    auto valueStart = nameLength + 1;

    while (valueStart < length && isBlank (line[valueStart]))
        ++valueStart;

    const auto value = textOf (line + valueStart, length - valueStart).trimEnd();

    const auto isNamed = [&] (const char* name)
    {
        return std::strlen (name) == nameLength && startsWithIgnoringCase (line, nameLength, name);
    };

    if (isNamed ("Content-Type"))               fromLines.types.add (value);
    else if (isNamed ("Content-Length"))        fromLines.lengths.add (value);
    else if (isNamed ("Content-Encoding"))      fromLines.encodings.add (value);
    else if (isNamed ("Transfer-Encoding"))     fromLines.transferCodings.add (value);
    else if (isNamed ("Location"))              fromLines.locations.add (value);
}

AnswerHeaders::Event AnswerHeaders::endOfAnswer()
{
    const auto code = status();

    if (code >= 100 && code <= 199)
    {
        expectingStatus = true;
        return Event::interimEnded;
    }

    auto fields = fieldsOfAnswer();

    // libcurl follows every 3xx answer with a Location that is not blank,
    // whatever its number means (7.88 a 304 too), and takes the first such.
    fields.locations.trim();
    fields.locations.removeEmptyStrings();

    if (code >= 300 && code <= 399 && ! fields.locations.isEmpty())
    {
        expectingStatus = true;
        return Event::hopEnded;
    }

    ended = true;
    finalFields = fields;
    return Event::finalEnded;
}

AnswerHeaders::Event AnswerHeaders::refuse (const juce::String& reason)
{
    whyRefused = reason;
    return Event::refused;
}

AnswerHeaders::Fields AnswerHeaders::fieldsOfAnswer() const
{
   #if QUELT_CURL_HAS_HEADER_API
    Fields fields;
    fields.types = valuesOf (easy, "Content-Type");
    fields.lengths = valuesOf (easy, "Content-Length");
    fields.encodings = valuesOf (easy, "Content-Encoding");
    fields.transferCodings = valuesOf (easy, "Transfer-Encoding");
    fields.locations = valuesOf (easy, "Location");
    return fields;
   #else
    return fromLines;
   #endif
}

long AnswerHeaders::status() const
{
    // The status as libcurl read it from this answer's status line.
    long code = 0;
    curl_easy_getinfo (easy, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

juce::String AnswerHeaders::contentType() const
{
    return finalFields.types.isEmpty() ? juce::String() : finalFields.types.strings.getLast().trim();
}

bool AnswerHeaders::isChunked() const
{
    const auto codings = elementsOf (finalFields.transferCodings);
    return ! codings.isEmpty() && codings.strings.getLast().equalsIgnoreCase ("chunked");
}

juce::String AnswerHeaders::bodyFault (bool needsStatedEnd) const
{
    // (libcurl itself refuses a transfer coding it is not asked to read.)
    for (const auto& coding : elementsOf (finalFields.encodings))
        if (! coding.equalsIgnoreCase ("identity"))
            return "an encoded body (" + coding + ")";

    // Which of two lengths frames the body is anyone's guess.
    const auto lengths = elementsOf (finalFields.lengths);

    for (const auto& length : lengths)
    {
        if (lengthOf (length).isEmpty())
            return "a Content-Length that is no number (" + length + ")";

        if (lengthOf (length) != lengthOf (lengths[0]))
            return "two different Content-Length values";
    }

    // A transfer coding that is not chunked last leaves the body to end with
    // the connection, and libcurl, as HTTP/1.1 says, then reads to that end
    // whatever Content-Length says.
    const bool unchunkedCoding = ! finalFields.transferCodings.isEmpty() && ! isChunked();

    if (! needsStatedEnd || isChunked() || (! lengths.isEmpty() && ! unchunkedCoding))
        return {};

    long version = 0;
    curl_easy_getinfo (easy, CURLINFO_HTTP_VERSION, &version);

    if (version >= CURL_HTTP_VERSION_2_0)
        return {};

    return juce::String ("the answer does not say where its body ends (")
         + (unchunkedCoding ? "a transfer coding that is not chunked)" : "no Content-Length, not chunked)");
}
}
