#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    class Network
    {
    public:
        // Whether the URL answers a GET with a 2xx status within three tries,
        // each with the firmware host's connection time-out (2000 ms, see
        // FirmwareServer::TimeLimits) and redirects followed to https URLs
        // only. Keeps the calling (message) thread's loop running while it
        // waits, and for a moment after every failed try.
        static bool canConnectToWebsite (const juce::URL& url);
    };
}
