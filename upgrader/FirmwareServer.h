#pragma once

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

        // How long the host may fall silent in the middle of an answer before
        // the catalogue or image transfer is given up.
        static constexpr int defaultStallLimitMs = 15000;

        // The limit in force. Tests shorten it, so that a stalled server costs
        // them a moment instead of the product's quarter of a minute.
        static int getStallLimitMs();
        static void setStallLimitMs (int newLimitMs);

        // Where the image of one catalogue entry is downloaded from: the root
        // followed by the entry's "fw" path. An invalid entry or one without a
        // path has no image, and gives an empty URL rather than the root itself.
        static juce::URL getDownloadUrl (const juce::ValueTree& entry);
    };
}
