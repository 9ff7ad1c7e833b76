#include "upgrader/Product.h"

#include "core/StrictXml.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/HttpsFetch.h"
#include "upgrader/Network.h"


namespace zorv
{
    namespace
    {
        const char* const unknownProduct    = "Cannot fetch firmware details for Unknown product";
        const char* const serverUnavailable = "The firmware server is currently unavailable.";
        const char* const noDocument        = "Error connecting to server";
        const char* const unreadableTree    = "Could not read server response";
        const char* const noMatch           = "No firmware matches in the server, please try again manually!";

        // A few models have a catalogue of their own; every other one is listed
        // in the common file.
        struct CatalogueFile
        {
            int pid;
            const char* file;
        };

        const CatalogueFile ownCatalogues[] =
        {
            { 94,  "firmware-special.xml" },
            { 130, "firmware-special.xml" }
        };

        const char* const commonCatalogue = "firmware.xml";

        // Far more than any catalogue of the product line; a server that sends
        // more is not sending a catalogue.
        constexpr size_t maxCatalogueBytes = 1024 * 1024;

        const juce::Identifier productId ("pid");

        juce::String catalogueFileFor (int pid)
        {
            for (const auto& own : ownCatalogues)
                if (own.pid == pid)
                    return own.file;

            return commonCatalogue;
        }

        //==============================================================================
        // The catalogue text, when the server answers with a 2xx status and a
        // well-formed document no larger than the cap; null otherwise. An error
        // page is not a catalogue, even when it happens to be XML.
        std::unique_ptr<juce::XmlElement> readCatalogueDocument (const juce::URL& url)
        {
            // Read for any 2xx, as the probe took any for the server being
            // there (a proxy may answer 203). However its body is framed: a
            // document proves itself whole, its root element must end.
            auto rules = FirmwareServer::transferRules (maxCatalogueBytes, FirmwareServer::getTimeLimits().catalogueMs);
            rules.body = HttpsFetch::Rules::Body::ofAnySuccess;

            const auto answer = HttpsFetch::get (url, rules);

            if (! answer.isSuccess())
                return {};

            return StrictXml::parse (answer.body, StrictXml::defaultLimits());
        }

        // A value tree has no place for text; JUCE would assert on every piece of
        // it and then drop it, so it is dropped here first.
        void removeText (juce::XmlElement& element)
        {
            element.deleteAllTextElements();

            for (auto* child : element.getChildIterator())
                removeText (*child);
        }
    }

    juce::Result Product::fetchAvailableFirmwares (int pid, juce::ValueTree& catalogue)
    {
        if (pid < 0 || pid == Product::Unknown)
            return juce::Result::fail (unknownProduct);

        const juce::URL url (FirmwareServer::getRootUrl() + catalogueFileFor (pid));

        if (! Network::canConnectToWebsite (url))
            return juce::Result::fail (serverUnavailable);

        auto document = readCatalogueDocument (url);

        if (document == nullptr)
            return juce::Result::fail (noDocument);

        removeText (*document);
        auto tree = juce::ValueTree::fromXml (*document);

        if (! tree.isValid())
            return juce::Result::fail (unreadableTree);

        // Filtered before the caller sees it, so the caller's tree is never
        // caught between the server's catalogue and the product's part of it.
        keepEntriesFor (pid, tree);
        catalogue = tree;

        if (catalogue.getNumChildren() == 0)
            return juce::Result::fail (noMatch);

        return juce::Result::ok();
    }

    void Product::keepEntriesFor (int pid, juce::ValueTree& catalogue)
    {
        // Taken out one by one, every entry of another product would cost a
        // search and a shift of the whole list: a catalogue of tens of
        // thousands would hold the message thread for seconds. Emptied from
        // the end and refilled, the tree costs one pass.
        juce::Array<juce::ValueTree> kept;

        for (const auto& entry : catalogue)
            if (entry.getProperty (productId).toString().getIntValue() == pid)
                kept.add (entry);

        catalogue.removeAllChildren (nullptr);

        for (const auto& entry : kept)
            catalogue.appendChild (entry, nullptr);
    }
}
