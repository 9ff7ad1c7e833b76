#include "upgrader/Network.h"

#include "upgrader/FirmwareServer.h"
#include "upgrader/HttpsFetch.h"
#include "upgrader/SleepMs.h"

namespace zorv
{
    namespace
    {
        constexpr int numTries = 3;
        constexpr int pauseAfterFailureMs = 50;
    }

    bool Network::canConnectToWebsite (const juce::URL& url)
    {
        HttpsFetch::Rules rules;
        rules.statusOnly = true;
        rules.connectionTimeoutMs = FirmwareServer::getTimeLimits().connectMs;

        for (int attempt = 0; attempt < numTries; ++attempt)
        {
            if (HttpsFetch::get (url, rules).isSuccess())
                return true;

            sleep_ms (pauseAfterFailureMs);
        }

        return false;
    }
}
