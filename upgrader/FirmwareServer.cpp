#include "upgrader/FirmwareServer.h"

namespace zorv
{
    namespace
    {
        // Written only by tests and read on the message thread.
        juce::String& rootUrlInForce()
        {
            static juce::String root (FirmwareServer::defaultRootUrl);
            return root;
        }

        const juce::Identifier firmwarePath ("fw");
    }

    juce::String FirmwareServer::getRootUrl()
    {
        return rootUrlInForce();
    }

    void FirmwareServer::setRootUrl (const juce::String& newRootUrl)
    {
        rootUrlInForce() = newRootUrl.endsWithChar ('/') ? newRootUrl : newRootUrl + "/";
    }

    juce::URL FirmwareServer::getDownloadUrl (const juce::ValueTree& entry)
    {
        const auto path = entry.getProperty (firmwarePath).toString();

        if (path.trim().isEmpty())
            return {};

        return juce::URL (getRootUrl() + path);
    }
}
