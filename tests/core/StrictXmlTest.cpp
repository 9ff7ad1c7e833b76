#include "core/StrictXml.h"

#include <gtest/gtest.h>

TEST (StrictXml, AcceptsWellFormedDocuments)
{
    EXPECT_TRUE (StrictXml::isWellFormed ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map a=\"1\" b='x'>"
                                          "<!-- c --><controls><control id=\"1\"/></controls></map>\n"));
    EXPECT_TRUE (StrictXml::isWellFormed (juce::String::fromUTF8 ("\xEF\xBB\xBF<root><![CDATA[<not a tag>]]></root>")));
}

TEST (StrictXml, RefusesWhatJucesLenientParserWouldTake)
{
    for (auto* text : { "", "plain text", "<not-closed", "<map mode=\"logic\"", "<a><b></a></b>",
                        "<a></a><b></b>", "<a x=1></a>", "<a x=\"1></a>", "<a></a> trailing" })
        EXPECT_FALSE (StrictXml::isWellFormed (text)) << text;
}

TEST (StrictXml, RefusesNestingDeeperThanTheLimit)
{
    auto nested = [] (int depth)
    {
        return juce::String::repeatedString ("<a>", depth) + juce::String::repeatedString ("</a>", depth);
    };

    EXPECT_TRUE (StrictXml::isWellFormed (nested (32)));
    EXPECT_FALSE (StrictXml::isWellFormed (nested (33)));
    EXPECT_FALSE (StrictXml::isWellFormed (nested (100000)));
    EXPECT_TRUE (StrictXml::isWellFormed (nested (3), 3));
}
