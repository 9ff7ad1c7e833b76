#include "upgrader/Network.h"

#include <juce_events/juce_events.h>

namespace zorv
{
    namespace
    {
        constexpr int numTries = 3;
        constexpr int connectionTimeoutMs = 2000;
        constexpr int maxRedirects = 5;
        constexpr int pauseAfterFailureMs = 50;

        // The wizard waits on the message thread, so the pause between tries
        // keeps its window alive; off that thread there is no loop to run.
        void pause (int milliseconds)
        {
            auto* mm = juce::MessageManager::getInstanceWithoutCreating();

            if (mm != nullptr && mm->isThisTheMessageThread())
                mm->runDispatchLoopUntil (milliseconds);
            else
                juce::Thread::sleep (milliseconds);
        }
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

            pause (pauseAfterFailureMs);
        }

        return false;
    }
}
