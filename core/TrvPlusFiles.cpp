#include "core/TrvPlusImpl.h"

#include "core/CidSorter.h"
#include "core/ControlIds.h"
#include "core/CtType.h"
#include "core/Defa.h"
#include "core/FileReplacer.h"
#include "core/RecordBytes.h"
#include "core/ScopedMirrorTables.h"
#include "core/SharedFlags.h"
#include "core/StrictXml.h"
#include "core/Tags.h"
#include "platform/RegularFile.h"

namespace
{
    // A mapping file is about 10 kB; anything this large is not one, and
    // parsing it would only hold the window up.
    constexpr juce::int64 maxMappingFileSize = 4 * 1024 * 1024;

    const juce::String loadFailure = "Could not load mapping data";

    // A file the program writes has 91 elements, 3 attributes on the root and
    // 8 on each control, none longer than a mode's name; these leave hand
    // edits plenty of room.
    StrictXml::Limits mappingFileLimits()
    {
        auto limits = StrictXml::defaultLimits();
        limits.maxElements = 1024;
        limits.maxAttributesPerElement = 16;
        limits.maxAttributeValueLength = 256;
        return limits;
    }

    // The whole file, if it is an ordinary file of a mapping file's size.
    bool readMappingFile (const juce::File& file, juce::MemoryBlock& bytes)
    {
        if (! RegularFile::exists (file) || file.getSize() > maxMappingFileSize)
            return false;

        juce::FileInputStream in (file);

        if (! in.openedOk())
            return false;

        in.readIntoMemoryBlock (bytes, (ssize_t) maxMappingFileSize + 1);
        return (juce::int64) bytes.getSize() <= maxMappingFileSize;
    }

    // The document in a mapping file's bytes, if they keep within every
    // limit the loader sets.
    std::unique_ptr<juce::XmlElement> parseMappingFile (const juce::MemoryBlock& bytes)
    {
        if ((juce::int64) bytes.getSize() > maxMappingFileSize)
            return {};

        return StrictXml::parse (bytes, mappingFileLimits());
    }

    // Two attributes can still name one property ("chan" and "base64:chan"):
    // the program would read one and write the other.
    bool holdsAnythingTwice (const juce::ValueTree& tree)
    {
        for (int i = 0; i < tree.getNumProperties(); ++i)
            for (int j = 0; j < i; ++j)
                if (tree.getPropertyName (i) == tree.getPropertyName (j))
                    return true;

        for (const auto& child : tree)
            if (holdsAnythingTwice (child))
                return true;

        return false;
    }

    // Every control must be one of the surface's, each at most once: a control
    // beside the 89 would take a place the reset counts on and be saved again,
    // and of two controls of one id the program would read one and write both.
    // An id counts only as the program writes it, for that is how controls are
    // looked up ("05" is not control 5).
    bool holdsOnlyDistinctControlIds (const juce::ValueTree& map)
    {
        bool seen[ControlIds::count + 1] = {};

        for (const auto& control : map.getChildWithName (Tags::controls))
        {
            const auto text = control.getProperty (Tags::cid).toString();
            const int id = text.length() <= 2 && text.containsOnly ("0123456789") ? text.getIntValue() : 0;

            if (! ControlIds::isControl (id) || text != juce::String (id) || seen[id])
                return false;

            seen[id] = true;
        }

        return true;
    }

    // Every control the file lacks gets its mode's factory values, and all of
    // them stand in id order, so that the page, the reset and the transfer
    // find all 89 where they expect them. Building the factory map refills the
    // mode's mirror tables; they are kept as they were.
    void addMissingControls (juce::ValueTree& map, CtMode mode)
    {
        auto controls = map.getOrCreateChildWithName (Tags::controls, nullptr);
        const CtMap loaded (map);
        juce::Array<int> missing;

        for (int id = 1; id <= ControlIds::count; ++id)
            if (! loaded.getControlById (id).isValid())
                missing.add (id);

        if (! missing.isEmpty())
        {
            juce::ValueTree factory;

            {
                const ScopedMirrorTables keep;
                factory = CtMap (mode).getTree();
            }

            for (int id : missing)
                controls.appendChild (CtMap (factory).getControlById (id).createCopy(), nullptr);
        }

        CidSorter byId;
        controls.sort (byId, nullptr, false);
    }

    // The bytes of the mapping file that holds a map, as the program saves it.
    juce::MemoryBlock fileContents (const juce::XmlElement& map)
    {
        juce::MemoryOutputStream text;
        map.writeTo (text, juce::XmlElement::TextFormat());
        return text.getMemoryBlock();
    }

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
        const int mode = CtMode::usrdefMcp;

        for (int id = 1; id <= ControlIds::count; ++id)
        {
            const auto ctl = map.getControlById (id);

            const int nibble = Defa::getMstyForSel (CtType (ctl.getProperty (Tags::type).toString()).getValue());
            const int chan  = ctl.getProperty (Tags::chan, 1);
            const int value = ctl.getProperty (Tags::value, 0);
            const int velo  = ctl.getProperty (Tags::velo, 127);

            // A hand-edited channel outside 1..16 is kept to its nibble there,
            // so that it cannot turn a note record into another message type.
            RecordBytes::setRecord (mode, id, nibble, chan, value, velo);

            // The jog halves (ids 73 and 74) share the rotation row of the
            // unzoomed wheel whatever their message type.
            const bool rotary = (nibble == 11 && ControlIds::isKnob (id))
                             || (ControlIds::isJogHalf (id) && isZoomNorLR == 0);

            if (rotary)
                RecordBytes::setRotationByte (id, RecordBytes::dataByte (mode, id), velo);
        }
    }
}

juce::Result TrvPlus::Impl::saveCurrentMapping (const juce::File& file)
{
    auto xml = current.createXml();

    if (xml == nullptr)
        return juce::Result::fail ("Could not save current mapping to disk");

    const auto text = fileContents (*xml);

    if (! FileReplacer::replace (file, text.getData(), text.getSize()))
        return juce::Result::fail ("Failed to write mapping file");

    return juce::Result::ok();
}

juce::Result TrvPlus::Impl::openFile (const juce::File& file)
{
    // JUCE's parser would take a file cut short as a smaller map, and some
    // text makes it loop: it only sees what the strict check lets through.
    juce::MemoryBlock bytes;

    if (! readMappingFile (file, bytes))
        return juce::Result::fail (loadFailure);

    auto xml = parseMappingFile (bytes);

    // Even a well-formed document must be a map of one of the five modes, or
    // the map it replaced would vanish from the model for good.
    if (xml == nullptr || ! xml->hasTagName (Tags::map.toString()))
        return juce::Result::fail (loadFailure);

    auto tree = juce::ValueTree::fromXml (*xml);
    const auto slug = knownModeSlug (tree);

    if (! tree.isValid() || slug.isEmpty() || holdsAnythingTwice (tree) || ! holdsOnlyDistinctControlIds (tree))
        return juce::Result::fail (loadFailure);

    tree.setProperty (Tags::mode, slug, nullptr);

    const CtMode mode (slug);
    addMissingControls (tree, mode);

    // What is loaded must load again once saved, and the saved form is not
    // the file: characters written as references (line breaks, '>') take up
    // to six times their room, and the controls added above are elements of
    // their own. It is held to the same limits as the file.
    if (parseMappingFile (fileContents (*tree.createXml())) == nullptr)
        return juce::Result::fail (loadFailure);

    const int i = modes.indexOf (findMode (mode));

    modes.removeChild (i, nullptr);
    modes.addChild (tree, i, nullptr);

    setCurrentMode (CtMode (tree.getProperty (Tags::mode).toString()));

    if (currentMode.getValue() == CtMode::usrdefMcp)
        refreshUsrdefMcpTables (CtMap (tree));

    return juce::Result::ok();
}
