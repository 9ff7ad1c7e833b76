#pragma once

#include "upgrader/CurlApi.h"

#include <juce_core/juce_core.h>

namespace zorv
{
    // The header lines of the answers to one request, interim answers and
    // followed redirects included, read as libcurl reads them: a status line
    // is only the first line of an answer (the very first, or the first after
    // the end of an interim answer or of a redirect that libcurl follows);
    // any other line is a header, whatever it starts with. A line that libcurl
    // would take otherwise than it reads is refused: one holding a control
    // byte, a blank before its colon, a folded one, a status line that is not
    // HTTP's. What the final answer's headers say is asked of libcurl itself
    // (its header API, 7.84+); an older one has it read from the lines.
    class AnswerHeaders
    {
    public:
        explicit AnswerHeaders (CURL* easy);

        enum class Event
        {
            line,           // a line within an answer's headers
            interimEnded,   // the end of an interim answer (1xx): the answer is still to come
            hopEnded,       // the end of a redirect that libcurl follows
            finalEnded,     // the end of the final answer's headers
            refused         // see refusal()
        };

        // One line as libcurl's header callback hands it over, line end included.
        Event read (const char* bytes, size_t length);

        // Why the last line read was refused.
        juce::String refusal() const    { return whyRefused; }

        // Whether a status line has been read and its answer's end has not.
        bool inHeaders() const          { return ! expectingStatus && ! ended; }

        // Of the final answer, once its headers have ended: its Content-Type
        // (the last one, as libcurl takes it), and why its body would not be
        // what came, whole: a content coding (nothing is decoded), two lengths
        // that differ, or, when `needsStatedEnd`, no word of where it ends (no
        // Content-Length, no chunked framing, or a transfer coding that is not
        // chunked last, which voids any length; HTTP/2 and later frame every
        // body), which makes a body cut short look whole. Empty when nothing is
        // wrong.
        juce::String contentType() const;
        juce::String bodyFault (bool needsStatedEnd) const;

        // Whether the final answer's body comes in chunks.
        bool isChunked() const;

    private:
        struct Fields
        {
            juce::StringArray types, lengths, encodings, transferCodings, locations;
        };

        // What an older libcurl does not tell: a header of the answer's, from
        // its line.
        void noteField (const char* line, size_t length, size_t nameLength);

        Event endOfAnswer();
        Event refuse (const juce::String& reason);
        Fields fieldsOfAnswer() const;
        long status() const;

        CURL* const easy;
        bool expectingStatus = true, ended = false;
        juce::String whyRefused;
        Fields fromLines;
        Fields finalFields;
    };
}
