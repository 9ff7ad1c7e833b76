#pragma once

#include <juce_core/juce_core.h>

// How the upgrader reads MIDI port names. A device in firmware-upgrade mode
// shows up as ports named "Zorv firmware upgrade ..."; the lists the user sees
// show every such port as "Zorv firmware upgrade manager", and a choice of
// that entry is turned back into the real port name before it is used.
namespace zorv::DeviceHelpers
{
    // What every port of a device in upgrade mode has in its name.
    extern const char* const fwugPortText;

    // With `productPort`: not an operating-system synth port ("Microsoft"),
    // and unless `allowFwug`, not an upgrade-mode port either. Without it:
    // an upgrade-mode port by isFwugPortName.
    bool validDeviceName (const juce::String& name, bool productPort, bool allowFwug);

    // Contains "Zorv firmware upgrade" (any case); in test mode outside auto
    // mode a generic port (isGenericZorvPortName, once trimmed) counts as well.
    bool isFwugPortName (const juce::String& name);

    // A generic port of one of the maker's devices: fits "ZORV*Midi*", any case.
    bool isGenericZorvPortName (const juce::String& name);

    // Names the operating system's software synth: contains "Microsoft", any
    // case. No such port is ever offered, nor is a catalogue entry named so.
    bool isSystemSynthName (const juce::String& name);

    // Output (true) or input (false) port names in the system's order, without
    // exact duplicates, blank names or "Microsoft" ports.
    juce::StringArray getDeviceNames0 (bool outputs);

    // getDeviceNames0 of the outputs with every upgrade-mode port shown as
    // "Zorv firmware upgrade manager"; same length and order.
    juce::StringArray getDeviceNames (bool ignored);

    // The real output port behind a shown upgrade-mode name (the first one);
    // the empty text when there is none. Other names come back unchanged.
    juce::String convFwugMan (const juce::String& name);
}
