#include "upgrader/Network.h"

#include "upgrader/SleepMs.h"

namespace zorv
{
    namespace
    {
        constexpr int numTries = 3;
        constexpr int connectionTimeoutMs = 2000;
        constexpr int maxRedirects = 5;
        constexpr int pauseAfterFailureMs = 50;
    }

    bool Network::canConnectToWebsite (const juce::URL& url)
    {
        for (int attempt = 0; attempt < numTries; ++attempt)
        {
            int status = 0;
            auto stream = url.createInputStream (juce::URL::InputStreamOptions (juce::URL::ParameterHandling::inAddress)
                                                     .withConnectionTimeoutMs (connectionTimeoutMs)
                                                     .withNumRedirectsToFollow (maxRedirects)
                                                     .withStatusCode (&status));

            if (stream != nullptr && status >= 200 && status <= 299)
                return true;

            sleep_ms (pauseAfterFailureMs);
        }

        return false;
    }
}
