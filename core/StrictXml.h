#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// JUCE's XML parser forgives a lot: an unclosed root ("<not-closed"), close
// tags that name another element, text after the root. A document cut short
// or mangled on the way would then read as a smaller one, so files and server
// answers whose structure matters are checked here before they are believed.
// Structure only: one root, properly nested and closed elements, quoted and
// distinct attributes, comments, CDATA and references where they may be.
//
// Beyond that, the check refuses what JUCE 7's parser cannot finish or takes
// wrongly:
// - a processing instruction inside an element followed by text makes it
//   loop forever, so processing instructions may stand only before and after
//   the root (where the XML declaration goes);
// - named entities other than the five predefined ones send it into its DTD
//   code, and malformed character references make it skip input, so only the
//   predefined entities and well-formed character references pass, and text
//   and attribute values hold only characters XML allows (JUCE would write
//   any other back as a reference that no XML reader takes);
// - it recurses once per nesting level (a small file nested a few hundred
//   thousand levels deep overflows the stack), it stores attribute and tag
//   names in a sorted pool (each new name moves all the others, so many
//   distinct names take quadratic time, and so does writing an element with
//   many attributes), and it builds an attribute value one reference at a
//   time, copying the value so far each time: the limits below bound all of
//   these.
class StrictXml
{
public:
    struct Limits
    {
        int maxDepth;
        int maxElements;
        int maxAttributesPerElement;
        int maxAttributes;
        int maxAttributeValueLength;    // in UTF-8 bytes, references resolved
    };

    // Generous for any document of ours or the firmware server's.
    static Limits defaultLimits();

    static bool isWellFormed (const juce::String& text);
    static bool isWellFormed (const juce::String& text, const Limits& limits);

    // Bytes as read from a file or a server, parsed only when they pass the
    // check: a NUL byte anywhere refuses them (JUCE's text ends at the first
    // one, so whatever follows would never be checked), then they are decoded
    // as JUCE decodes files and checked. Null when refused or not parsed.
    static std::unique_ptr<juce::XmlElement> parse (const juce::MemoryBlock& bytes, const Limits& limits);
};
