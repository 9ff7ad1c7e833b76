#include "core/TrvPlusImpl.h"

#include "core/CtType.h"
#include "core/Defa.h"
#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "core/SharedFlags.h"
#include "core/StrictXml.h"
#include "core/Tags.h"

namespace
{
    // A mapping file is about 10 kB; anything this large is not one, and
    // parsing it would only hold the window up.
    constexpr juce::int64 maxMappingFileSize = 4 * 1024 * 1024;

    const juce::String loadFailure = "Could not load mapping data";

    // The mode slug of a file, trimmed, if it names one of the five modes.
    juce::String knownModeSlug (const juce::ValueTree& map)
    {
        const auto slug = map.getProperty (Tags::mode).toString().trim();

        for (int m = 0; m < 5; ++m)
            if (slug == CtMode::slugForType (m))
                return slug;

        return {};
    }

    // The "usrdef-mcp" record table and rotation bytes follow a loaded map, so
    // that the editor and the transfer see what the file holds.
    void refreshUsrdefMcpTables (const CtMap& map)
    {
        for (int id = 1; id <= 89; ++id)
        {
            const int s = rowForCid (id);
            const auto ctl = map.getControlById (id);

            const int nibble = Defa::getMstyForSel (CtType (ctl.getProperty (Tags::type).toString()).getValue());
            const int chan  = ctl.getProperty (Tags::chan, 1);
            const int value = ctl.getProperty (Tags::value, 0);
            const int velo  = ctl.getProperty (Tags::velo, 127);

            // The channel is masked to its nibble: a hand-edited channel outside
            // 1..16 must not turn a note record into another message type.
            nd[s][0] = (unsigned char) nibble;
            nd[s][1] = (unsigned char) ((nibble << 4) | ((chan - 1) & 0x0F));
            nd[s][2] = (unsigned char) value;
            nd[s][3] = (unsigned char) velo;

            const bool rotary = (nibble == 11 && id >= 65 && id <= 72)
                             || ((id == 73 || id == 74) && isZoomNorLR == 0);

            if (rotary)
            {
                const int data = nd[s][2];
                const int c = ((data >= 16 && data <= 23) || data == 60) ? 0 : 1;
                knobVelos[juce::jmin (id - 65, 8)][c] = (unsigned char) velo;
            }
        }
    }
}

juce::Result TrvPlus::Impl::saveCurrentMapping (const juce::File& file)
{
    auto xml = current.createXml();

    if (xml == nullptr)
        return juce::Result::fail ("Could not save current mapping to disk");

    // writeTo goes through a temporary file beside the target and only then
    // replaces it, so a failed write leaves the previous file as it was.
    if (! xml->writeTo (file, juce::XmlElement::TextFormat()))
        return juce::Result::fail ("Failed to write mapping file");

    return juce::Result::ok();
}

juce::Result TrvPlus::Impl::openFile (const juce::File& file)
{
    if (! file.existsAsFile() || file.getSize() > maxMappingFileSize)
        return juce::Result::fail (loadFailure);

    const auto text = file.loadFileAsString();

    // JUCE's parser would take a file cut short as a smaller map; and even a
    // well-formed document must be a map of one of the five modes, or the map
    // it replaced would vanish from the model for good.
    if (! StrictXml::isWellFormed (text))
        return juce::Result::fail (loadFailure);

    auto xml = juce::parseXML (text);

    if (xml == nullptr || ! xml->hasTagName (Tags::map.toString()))
        return juce::Result::fail (loadFailure);

    auto tree = juce::ValueTree::fromXml (*xml);
    const auto slug = knownModeSlug (tree);

    if (! tree.isValid() || slug.isEmpty())
        return juce::Result::fail (loadFailure);

    tree.setProperty (Tags::mode, slug, nullptr);

    const CtMode mode (slug);
    const int i = modes.indexOf (findMode (mode));

    modes.removeChild (i, nullptr);
    modes.addChild (tree, i, nullptr);

    setCurrentMode (CtMode (tree.getProperty (Tags::mode).toString()));

    if (currentMode.getValue() == CtMode::usrdefMcp)
        refreshUsrdefMcpTables (CtMap (tree));

    return juce::Result::ok();
}
