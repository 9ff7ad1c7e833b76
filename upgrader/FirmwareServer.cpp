#include "upgrader/FirmwareServer.h"

namespace zorv
{
    namespace
    {
        // Written only by tests, and like the time limits below read on the
        // message thread.
        juce::String& rootUrlInForce()
        {
            static juce::String root (FirmwareServer::defaultRootUrl);
            return root;
        }

        FirmwareServer::TimeLimits& timeLimitsInForce()
        {
            static FirmwareServer::TimeLimits limits;
            return limits;
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

    FirmwareServer::TimeLimits FirmwareServer::getTimeLimits()
    {
        return timeLimitsInForce();
    }

    void FirmwareServer::setTimeLimits (const TimeLimits& newLimits)
    {
        timeLimitsInForce() = newLimits;
    }

    HttpsFetch::Rules FirmwareServer::transferRules (size_t maxBodyBytes, int wholeLimitMs)
    {
        const auto limits = getTimeLimits();

        HttpsFetch::Rules rules;
        rules.maxBodyBytes = maxBodyBytes;
        rules.connectionTimeoutMs = limits.connectMs;
        rules.stallLimitMs = limits.stallMs;
        rules.wholeLimitMs = wholeLimitMs;
        return rules;
    }

    juce::URL FirmwareServer::getDownloadUrl (const juce::ValueTree& entry)
    {
        const auto path = entry.getProperty (firmwarePath).toString();

        if (path.trim().isEmpty())
            return {};

        return juce::URL (getRootUrl() + path);
    }
}
