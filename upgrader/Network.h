#pragma once

#include <juce_core/juce_core.h>

namespace zorv
{
    class Network
    {
    public:
        // Whether the URL answers a GET with a 2xx status within three tries.
        // Blocks the calling (message) thread, but keeps its message loop
        // running for a moment after every failed try.
        static bool canConnectToWebsite (const juce::URL& url);
    };
}
