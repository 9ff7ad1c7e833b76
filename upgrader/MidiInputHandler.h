#pragma once

#include "upgrader/FirmwareImage.h"
#include "upgrader/FirmwareUpgradeComponent.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>

class MidiInputPort;
class MidiOutputPort;

namespace zorv
{
    // The upload side of the wizard: owns the ports of a unit in upgrade mode
    // and the firmware image, and runs the upload (connect, erase, write the
    // image frame by frame, reset) on the message thread. The unit's
    // acknowledgements arrive on the MIDI thread, which only raises flags that
    // the upload polls between slices of message loop.
    class FirmwareUpgradeComponent::MidiInputHandler : public juce::MidiInputCallback
    {
    public:
        // How long the upload waits for the unit in each phase: a number of
        // message-loop slices of sliceMs each.
        struct Waits
        {
            int sliceMs = 33;
            int connectSlices = 150;
            int eraseSlices = 150;
            int frameSlices = 300;
            int resetSlices = 150;
        };

        // Images of fewer bytes, or of this many and more, are refused.
        static constexpr size_t minImageSize = FirmwareImage::minSize;
        static constexpr size_t maxImageSize = FirmwareImage::maxSize;

        // `owner` (may be null) receives the phase texts in its progressLabel
        // and the progress in its progress value; `pid` picks the erase
        // argument and never changes.
        MidiInputHandler (FirmwareUpgradeComponent* owner, int pid);
        ~MidiInputHandler() override;

        // Closes what is open, then opens the input whose name equals
        // `portName` ignoring case and the output whose name equals it exactly.
        // A port that is not found stays closed; the caller checks both.
        void start (const juce::String& portName);

        // Closes both ports, but only when an input is open.
        void stop();

        // Reads `file` whole into memory. An unreadable file gives an empty
        // image, which the upload refuses.
        void openProgram (const juce::File& file);

        // The upload. Blocks, running the message loop while it waits.
        juce::Result sendProgram();

        void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
        void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

        //==============================================================================
        bool isInputOpen() const noexcept           { return input != nullptr; }
        bool isOutputOpen() const noexcept          { return output != nullptr; }
        int getPid() const noexcept                 { return pid; }
        const juce::File& getFile() const noexcept  { return file; }
        size_t getSize() const noexcept             { return size; }
        const juce::uint8* getImage() const noexcept { return image.get(); }

        // The Waits default to the unit's documented timeouts; tests shorten them.
        void setWaits (const Waits& newWaits)       { waits = newWaits; }
        const Waits& getWaits() const noexcept      { return waits; }

    private:
        void clearFlags();
        void setProgress (size_t done);
        void setPhaseText (const juce::String& text);
        void paced();
        void wait();
        void flush();
        bool waitForFlag (const std::atomic<bool>& flag, int slices);
        bool sendDataFrames();
        bool waitForFrameAcknowledgement();
        juce::Result resetUnit();

        FirmwareUpgradeComponent* const owner;
        std::unique_ptr<MidiInputPort> input;
        std::unique_ptr<MidiOutputPort> output;
        juce::File file;
        juce::HeapBlock<juce::uint8> image;
        size_t size = 0;
        const int pid;

        // Raised on the MIDI thread, read and cleared by the upload on the
        // message thread: atomics, so that each store is seen by the next test
        // and the exchange is no data race.
        std::atomic<bool> resetAcknowledged { false };
        std::atomic<bool> frameAcknowledged { false };
        std::atomic<bool> eraseAcknowledged { false };
        std::atomic<bool> connectAcknowledged { false };
        std::atomic<bool> seen7F { false };

        Waits waits;

        // Messages of the current upload, counted from 1 through all phases.
        int messagesSent = 0;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiInputHandler)
    };
}
