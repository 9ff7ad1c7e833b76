#include "core/StrictXml.h"

#include <gtest/gtest.h>

namespace
{
    juce::MemoryBlock bytesOf (const char* text, size_t size)
    {
        return juce::MemoryBlock (text, size);
    }

    StrictXml::Limits limitsWith (std::function<void (StrictXml::Limits&)> change)
    {
        auto limits = StrictXml::defaultLimits();
        change (limits);
        return limits;
    }
}

TEST (StrictXml, AcceptsWellFormedDocuments)
{
    for (auto* text : { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map a=\"1\" b='x'>"
                        "<!-- c --><controls><control id=\"1\"/></controls></map>\n",
                        "\xEF\xBB\xBF<root><![CDATA[<not a tag> <?x?>]]></root>",
                        "<?xml version=\"1.0\"?><?style x?><!DOCTYPE a [<!ENTITY e \"v\">]><a/><?after?><!-- end -->",
                        "<a x=\"&amp;&lt;&gt;&quot;&apos;&#10;&#x1F600;\">&#65;&#x41; text &amp; more</a>" })
        EXPECT_TRUE (StrictXml::isWellFormed (juce::String::fromUTF8 (text))) << text;
}

TEST (StrictXml, RefusesWhatJucesLenientParserWouldTake)
{
    for (auto* text : { "", "plain text", "<not-closed", "<map mode=\"logic\"", "<a><b></a></b>",
                        "<a></a><b></b>", "<a x=1></a>", "<a x=\"1></a>", "<a></a> trailing", "</a>",
                        "<![CDATA[x]]>", "<a x=\"1\"y=\"2\"/>" })
        EXPECT_FALSE (StrictXml::isWellFormed (text)) << text;
}

TEST (StrictXml, RefusesWhatJucesParserCannotFinishOrTakesWrongly)
{
    for (auto* text : {
             // A processing instruction followed by text inside an element
             // makes JUCE 7's parser loop forever (a catalogue answer, a map).
             "<a><?x?>b</a>", "<map mode=\"mackie\"><?x?>b</map>", "<a> <!-- c --> <?x?> <b/></a>",

             // JUCE resumes after a document type where its angle brackets
             // balance, here inside the comment, and would meet the
             // instruction in the element it then finds.
             "<!DOCTYPE a [<!ENTITY x \"<\">]><a><!-- >><c><?x?>b--></a>",

             // Attributes twice: JUCE reads the first and writes the last.
             "<a x=\"1\" x=\"2\"/>", "<a><b y='1' z='2' y='1'/></a>",

             // Entities from the document type, and references that JUCE
             // reads past, takes as another character or as none at all.
             "<a>&e;</a>", "<a x=\"&e;\"/>", "<a>&AMP;</a>", "<a>&amp</a>", "<a>&#;</a>", "<a>&#x;</a>",
             "<a>&#x41</a>", "<a>&#0;</a>", "<a>&#x110000;</a>", "<a>&#xD800;</a>", "<a>&#x0000000041;</a>",
             "<a>&#0000000000065;</a>", "<a>&#x4G;</a>", "<a>&#X41;</a>",

             // Characters XML does not allow, raw as well as referenced: the
             // program writes them back as references.
             "<a>\x07</a>", "<a x=\"\x01\"/>", "<a x=\"\xEF\xBF\xBE\"/>" })
        EXPECT_FALSE (StrictXml::isWellFormed (juce::String::fromUTF8 (text))) << text;
}

TEST (StrictXml, LimitsNestingElementsAttributesAndReferences)
{
    auto nested = [] (int depth)
    {
        return juce::String::repeatedString ("<a>", depth) + juce::String::repeatedString ("</a>", depth);
    };

    EXPECT_TRUE (StrictXml::isWellFormed (nested (32)));
    EXPECT_FALSE (StrictXml::isWellFormed (nested (33)));
    EXPECT_FALSE (StrictXml::isWellFormed (nested (100000)));
    EXPECT_TRUE (StrictXml::isWellFormed (nested (3), limitsWith ([] (auto& l) { l.maxDepth = 3; })));
    EXPECT_FALSE (StrictXml::isWellFormed (nested (4), limitsWith ([] (auto& l) { l.maxDepth = 3; })));

    auto withAttributes = [] (int count, const juce::String& value = "v")
    {
        std::string text ("<a");

        for (int i = 0; i < count; ++i)
            text += " n" + std::to_string (i) + "=\"" + value.toStdString() + "\"";

        return juce::String (text + "/>");
    };

    EXPECT_TRUE (StrictXml::isWellFormed (withAttributes (64)));
    EXPECT_FALSE (StrictXml::isWellFormed (withAttributes (65)));
    EXPECT_FALSE (StrictXml::isWellFormed (withAttributes (150000)));
    EXPECT_FALSE (StrictXml::isWellFormed (withAttributes (3), limitsWith ([] (auto& l) { l.maxAttributesPerElement = 2; })));

    const auto twoElementsOfTwo = "<a x=\"1\" y=\"2\"><b x=\"1\" y=\"2\"/></a>";
    EXPECT_TRUE (StrictXml::isWellFormed (twoElementsOfTwo, limitsWith ([] (auto& l) { l.maxElements = 2; l.maxAttributes = 4; })));
    EXPECT_FALSE (StrictXml::isWellFormed (twoElementsOfTwo, limitsWith ([] (auto& l) { l.maxElements = 1; })));
    EXPECT_FALSE (StrictXml::isWellFormed (twoElementsOfTwo, limitsWith ([] (auto& l) { l.maxAttributes = 3; })));

    // JUCE copies an attribute's value so far for every reference in it.
    // Measured as resolved, a value written back escaped measures the same.
    auto withValue = [] (int characters, const char* character)
    {
        return StrictXml::isWellFormed ("<a x=\"" + juce::String::repeatedString (character, characters) + "\"/>",
                                        limitsWith ([] (auto& l) { l.maxAttributeValueLength = 12; }));
    };

    EXPECT_TRUE (withValue (12, "a"));
    EXPECT_FALSE (withValue (13, "a"));
    EXPECT_TRUE (withValue (12, "&lt;"));
    EXPECT_FALSE (withValue (13, "&#10;"));
    EXPECT_TRUE (withValue (3, "&#x1F600;"));
    EXPECT_FALSE (withValue (4, "&#x1F600;")) << "four bytes in UTF-8";
    EXPECT_TRUE (StrictXml::isWellFormed ("<a>" + juce::String::repeatedString ("&lt;", 10000) + "</a>")) << "text is not limited";
}

TEST (StrictXml, ParsesBytesThatPassWithoutANulByte)
{
    const char document[] = "\xEF\xBB\xBF<a x=\"&amp;\"><b/></a>";
    auto xml = StrictXml::parse (bytesOf (document, sizeof (document) - 1), StrictXml::defaultLimits());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("x"), "&");
    EXPECT_NE (xml->getChildByName ("b"), nullptr);

    // JUCE's text would end at the NUL; after it, anything could follow.
    const char withNul[] = "<a/>\0<b><?x?>c";
    EXPECT_EQ (StrictXml::parse (bytesOf (withNul, sizeof (withNul) - 1), StrictXml::defaultLimits()), nullptr);

    // Not UTF-8: JUCE reads the bytes as Windows-1252, where 0x8F has no
    // character and becomes a control character.
    const char latin[] = "<a x=\"\xE9\"/>";
    xml = StrictXml::parse (bytesOf (latin, sizeof (latin) - 1), StrictXml::defaultLimits());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("x"), juce::String::charToString (0xE9));
    const char undefined[] = "<a x=\"\x8F\x8F\"/>";
    EXPECT_EQ (StrictXml::parse (bytesOf (undefined, sizeof (undefined) - 1), StrictXml::defaultLimits()), nullptr);

    const char instruction[] = "<a><?x?>b</a>";
    EXPECT_EQ (StrictXml::parse (bytesOf (instruction, sizeof (instruction) - 1), StrictXml::defaultLimits()), nullptr);
    EXPECT_EQ (StrictXml::parse ({}, StrictXml::defaultLimits()), nullptr);

    // Nothing but a byte order mark: JUCE would read past it.
    EXPECT_EQ (StrictXml::parse (bytesOf ("\xEF\xBB\xBF", 3), StrictXml::defaultLimits()), nullptr);
}
