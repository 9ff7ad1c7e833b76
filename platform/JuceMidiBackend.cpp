#include "platform/JuceMidiBackend.h"

#if JUCE_LINUX
 #include <alsa/asoundlib.h>
#endif

namespace
{
    juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray names;

        for (auto& d : devices)
            names.add (d.name);

        return names;
    }

   #if JUCE_LINUX
    // alsa-lib prints a line on every enumeration when there is no sequencer;
    // the program writes no console output of its own, so that noise goes too.
    void ignoreAlsaError (const char*, int, const char*, int, const char*, ...) {}
   #endif

    class JuceOutputPort : public MidiOutputPort
    {
    public:
        explicit JuceOutputPort (std::unique_ptr<juce::MidiOutput> o) : out (std::move (o)) {}

        juce::String getName() const override                           { return out->getName(); }
        void sendMessageNow (const juce::MidiMessage& m) override        { out->sendMessageNow (m); }
        void sendBlockOfMessagesNow (const juce::MidiBuffer& b) override { out->sendBlockOfMessagesNow (b); }

    private:
        std::unique_ptr<juce::MidiOutput> out;
    };

    class JuceInputPort : public MidiInputPort
    {
    public:
        explicit JuceInputPort (std::unique_ptr<juce::MidiInput> i) : in (std::move (i)) {}
        ~JuceInputPort() override   { in->stop(); }

        juce::String getName() const override   { return in->getName(); }
        void start() override                   { in->start(); }
        void stop() override                    { in->stop(); }

    private:
        std::unique_ptr<juce::MidiInput> in;
    };
}

JuceMidiBackend::JuceMidiBackend()
{
   #if JUCE_LINUX
    snd_lib_error_set_handler (ignoreAlsaError);
   #endif
}

juce::StringArray JuceMidiBackend::getOutputNames()
{
    return namesOf (juce::MidiOutput::getAvailableDevices());
}

juce::StringArray JuceMidiBackend::getInputNames()
{
    return namesOf (juce::MidiInput::getAvailableDevices());
}

std::unique_ptr<MidiOutputPort> JuceMidiBackend::openOutput (int index)
{
    auto devices = juce::MidiOutput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    if (auto out = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<JuceOutputPort> (std::move (out));

    return {};
}

std::unique_ptr<MidiInputPort> JuceMidiBackend::openInput (int index, juce::MidiInputCallback& callback)
{
    auto devices = juce::MidiInput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    if (auto in = juce::MidiInput::openDevice (devices[index].identifier, &callback))
        return std::make_unique<JuceInputPort> (std::move (in));

    return {};
}
