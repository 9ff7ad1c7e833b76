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
        // Only the status is read, so no body and no whole-answer limit.
        auto rules = FirmwareServer::transferRules (0, 0);
        rules.body = HttpsFetch::Rules::Body::none;

        for (int attempt = 0; attempt < numTries; ++attempt)
        {
            if (HttpsFetch::get (url, rules).isSuccess())
                return true;

            sleep_ms (pauseAfterFailureMs);
        }

        return false;
    }
}
