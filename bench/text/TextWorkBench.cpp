#include "core/StrictXml.h"

#include <juce_core/juce_core.h>

#include <benchmark/benchmark.h>

// The text work of the program, run against whichever juce_core this file is
// built with: the mended copy the program uses (quelt_text_bench_mended) or
// JUCE's own (quelt_text_bench_unmended). bench/text-work.sh runs both in turn and
// reports each case's ratio, which should stay near 1: the mend must cost
// ASCII text nothing and other text little.

namespace
{
    // Which of the two this is, in the run's context (the script checks it).
    [[maybe_unused]] const bool reported = [] {
       #if QUELT_JUCE_UTF8_MEND
        benchmark::AddCustomContext ("juce_core", "mended");
       #else
        benchmark::AddCustomContext ("juce_core", "unmended");
       #endif
        return true;
    }();

    // A factory map as the program saves it: ASCII, about 10 kB.
    const juce::MemoryBlock& factoryMapBytes()
    {
        static const juce::MemoryBlock bytes = [] {
            juce::MemoryBlock b;
            const juce::File file (QUELT_SOURCE_DIR "/tests/fuzz/corpus/mackie.quelt");

            if (! file.loadFileAsData (b) || b.isEmpty())
                throw std::runtime_error ("cannot read " + file.getFullPathName().toStdString());

            return b;
        }();

        return bytes;
    }

    const juce::String& factoryMapText()
    {
        static const juce::String text = juce::String::createStringFromData (factoryMapBytes().getData(),
                                                                             (int) factoryMapBytes().getSize());
        return text;
    }

    // Names and comments as users type them, in several scripts.
    const juce::String& nonAsciiText()
    {
        static const juce::String text = [] {
            const auto line = juce::String::fromUTF8 ("Contr\xc3\xb4leur \xc3\xa9tage 2 \xe2\x80\x93 Stra\xc3\x9f" "e "
                                                      "\xd0\xbc\xd0\xb8\xd0\xba\xd1\x88\xd0\xb5\xd1\x80 "
                                                      "\xe3\x83\x9f\xe3\x82\xad\xe3\x82\xb5\xe3\x83\xbc \xf0\x9f\x8e\x9b\n");
            juce::String s;

            while (s.getNumBytesAsUTF8() < factoryMapBytes().getSize())
                s += line;

            return s;
        }();

        return text;
    }

    // The largest map a user may hand-edit a mapping file into: about 3 MB,
    // as many controls and attributes, as long, as the loader takes.
    const juce::MemoryBlock& largeMapBytes()
    {
        static const juce::MemoryBlock bytes = [] {
            juce::XmlElement map ("map");
            map.setAttribute ("mode", "mackie");
            map.setAttribute ("name", "Mackie");
            auto* controls = map.createNewChildElement ("controls");

            for (int i = 0; i < 1000; ++i)
            {
                auto* control = controls->createNewChildElement ("control");
                control->setAttribute ("id", i % 89 + 1);

                for (int a = 0; a < 12; ++a)
                    control->setAttribute ("note" + juce::String (a),
                                           juce::String::repeatedString ("Fader " + juce::String (a) + " & bank; ", 15));
            }

            juce::MemoryOutputStream out;
            map.writeTo (out);
            return out.getMemoryBlock();
        }();

        return bytes;
    }

    std::unique_ptr<juce::XmlElement> parseOrThrow (const juce::MemoryBlock& bytes)
    {
        auto xml = StrictXml::parse (bytes, StrictXml::defaultLimits());

        if (xml == nullptr)
            throw std::runtime_error ("the benchmark's document does not parse");

        return xml;
    }

    const juce::String& textOf (int which)
    {
        return which == 0 ? factoryMapText() : nonAsciiText();
    }

    const char* nameOf (int which)
    {
        return which == 0 ? "ascii" : "utf8";
    }
}

static void BM_StringCompare (benchmark::State& state)
{
    const auto& a = textOf ((int) state.range (0));
    const auto b = a.dropLastCharacters (1) + "!";

    for (auto _ : state)
        benchmark::DoNotOptimize (a.compare (b));

    state.SetLabel (nameOf ((int) state.range (0)));
    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) a.getNumBytesAsUTF8());
}

static void BM_StringSubstring (benchmark::State& state)
{
    const auto& text = textOf ((int) state.range (0));
    const int length = text.length();

    for (auto _ : state)
        benchmark::DoNotOptimize (text.substring (length / 4, length * 3 / 4));

    state.SetLabel (nameOf ((int) state.range (0)));
}

static void BM_StringToUTF16 (benchmark::State& state)
{
    const auto text = textOf ((int) state.range (0));

    for (auto _ : state)
        benchmark::DoNotOptimize (text.toUTF16().getAddress());

    state.SetLabel (nameOf ((int) state.range (0)));
}

static void BM_StringLength (benchmark::State& state)
{
    const auto& text = textOf ((int) state.range (0));

    for (auto _ : state)
        benchmark::DoNotOptimize (text.length());

    state.SetLabel (nameOf ((int) state.range (0)));
}

static void BM_StringIndexOf (benchmark::State& state)
{
    const auto& text = textOf ((int) state.range (0));

    for (auto _ : state)
        benchmark::DoNotOptimize (text.indexOf ("not in the text"));

    state.SetLabel (nameOf ((int) state.range (0)));
}

static void BM_IsValidString (benchmark::State& state)
{
    const auto& text = textOf ((int) state.range (0));
    const auto* bytes = text.toRawUTF8();
    const auto size = (int) text.getNumBytesAsUTF8();

    for (auto _ : state)
        benchmark::DoNotOptimize (juce::CharPointer_UTF8::isValidString (bytes, size));

    state.SetLabel (nameOf ((int) state.range (0)));
    state.SetBytesProcessed ((int64_t) state.iterations() * size);
}

// Writing a map escapes every attribute value.
static void BM_XmlWriteFactoryMap (benchmark::State& state)
{
    const auto map = parseOrThrow (factoryMapBytes());

    for (auto _ : state)
    {
        juce::MemoryOutputStream out;
        map->writeTo (out);
        benchmark::DoNotOptimize (out.getData());
    }
}

static void BM_XmlParseFactoryMap (benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize (juce::parseXML (factoryMapText()));
}

// What loading a mapping file reads and checks: the bytes decoded as JUCE
// decodes files, the structure checked, the document parsed.
static void BM_LoadFactoryMap (benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize (StrictXml::parse (factoryMapBytes(), StrictXml::defaultLimits()));
}

static void BM_LoadLargeMap (benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize (StrictXml::parse (largeMapBytes(), StrictXml::defaultLimits()));

    state.counters["bytes"] = (double) largeMapBytes().getSize();
}

// The settings file holds every mode's map on one line: here five factory
// maps and a large one.
static void BM_SettingsXml (benchmark::State& state)
{
    juce::XmlElement modes ("modes");

    for (int i = 0; i < 5; ++i)
        modes.addChildElement (parseOrThrow (factoryMapBytes()).release());

    modes.addChildElement (parseOrThrow (largeMapBytes()).release());
    const auto format = juce::XmlElement::TextFormat().singleLine().withoutHeader();

    for (auto _ : state)
        benchmark::DoNotOptimize (modes.toString (format));
}

BENCHMARK (BM_StringCompare)->Arg (0)->Arg (1);
BENCHMARK (BM_StringSubstring)->Arg (0)->Arg (1);
BENCHMARK (BM_StringToUTF16)->Arg (0)->Arg (1);
BENCHMARK (BM_StringLength)->Arg (0)->Arg (1);
BENCHMARK (BM_StringIndexOf)->Arg (0)->Arg (1);
BENCHMARK (BM_IsValidString)->Arg (0)->Arg (1);
BENCHMARK (BM_XmlWriteFactoryMap)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_XmlParseFactoryMap)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_LoadFactoryMap)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_LoadLargeMap)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_SettingsXml)->Unit (benchmark::kMillisecond);
