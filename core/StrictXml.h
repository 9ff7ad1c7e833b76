#pragma once

#include <juce_core/juce_core.h>

// JUCE's XML parser forgives a lot: an unclosed root ("<not-closed"), close
// tags that name another element, text after the root. A document cut short
// or mangled on the way would then read as a smaller one, so files and server
// answers whose structure matters are checked here before they are believed.
// Structure only: one root, properly nested and closed elements, quoted
// attributes, comments, CDATA and processing instructions where they may be.
//
// Nesting is capped too: JUCE's parser recurses once per level, so a small
// file nested a few hundred thousand levels deep would overflow the stack.
// Our documents are two or three levels deep.
class StrictXml
{
public:
    static bool isWellFormed (const juce::String& text, int maxDepth = 32);
};
