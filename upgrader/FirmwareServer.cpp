#include "upgrader/FirmwareServer.h"

namespace zorv
{
    namespace
    {
        // Written only by tests, and like the stall limit below read on the
        // message thread.
        juce::String& rootUrlInForce()
        {
            static juce::String root (FirmwareServer::defaultRootUrl);
            return root;
        }

        int& stallLimitInForce()
        {
            static int limit = FirmwareServer::defaultStallLimitMs;
            return limit;
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

    int FirmwareServer::getStallLimitMs()
    {
        return stallLimitInForce();
    }

    void FirmwareServer::setStallLimitMs (int newLimitMs)
    {
        stallLimitInForce() = newLimitMs;
    }

    juce::URL FirmwareServer::getDownloadUrl (const juce::ValueTree& entry)
    {
        const auto path = entry.getProperty (firmwarePath).toString();

        if (path.trim().isEmpty())
            return {};

        return juce::URL (getRootUrl() + path);
    }
}
