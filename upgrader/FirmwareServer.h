#pragma once

#include "upgrader/HttpsFetch.h"

#include <juce_data_structures/juce_data_structures.h>

namespace zorv
{
    // The maker's firmware host: the catalogue files and the firmware images all
    // live under one HTTPS root.
    class FirmwareServer
    {
    public:
        // The root that the product talks to.
        static constexpr const char* defaultRootUrl = "https://firmware.zorvproaudio.com/";

        // The root in force: the scheme, the host and a slash.
        static juce::String getRootUrl();

        // Points the upgrader at another host (tests use a local server). A root
        // given without its closing slash gets one, so that paths still join.
        static void setRootUrl (const juce::String& newRootUrl);

        // How long a transfer from the host may take before it is given up:
        // the wait for an answer to begin, silence in the middle of an answer,
        // and the whole of a catalogue or image answer. A host that trickles
        // its answer never falls silent, but the wizard holds its window while
        // it reads, so a transfer must end.
        struct TimeLimits
        {
            int connectMs = 2000;       // the probe, the catalogue and the image alike
            int stallMs = 15000;
            int catalogueMs = 60000;    // a catalogue is a few kilobytes
            int imageMs = 600000;       // the largest image over a slow line
        };

        // The limits in force. Tests shorten them, so that a stalled or
        // trickling server costs them a moment instead of the product's limits.
        static TimeLimits getTimeLimits();
        static void setTimeLimits (const TimeLimits& newLimits);

        // The rules of a transfer from the host under the limits in force: a
        // body of at most `maxBodyBytes`, read whole within `wholeLimitMs`.
        static HttpsFetch::Rules transferRules (size_t maxBodyBytes, int wholeLimitMs);

        // Where the image of one catalogue entry is downloaded from: the root
        // followed by the entry's "fw" path. An invalid entry or one without a
        // path has no image, and gives an empty URL rather than the root itself.
        static juce::URL getDownloadUrl (const juce::ValueTree& entry);
    };
}
