#include "upgrader/DeviceHelpers.h"

#include "platform/MidiPorts.h"
#include "upgrader/WizardFlags.h"

namespace zorv::DeviceHelpers
{
const char* const fwugPortText = "Zorv firmware upgrade";

namespace
{
    const char* const fwugShownName = "Zorv firmware upgrade manager";
    const char* const systemSynthText = "Microsoft";
    const char* const genericZorvPattern = "ZORV*Midi*";

    bool containsFwugText (const juce::String& name)
    {
        return name.containsIgnoreCase (fwugPortText);
    }
}

bool validDeviceName (const juce::String& name, bool productPort, bool allowFwug)
{
    if (! productPort)
        return isFwugPortName (name);

    if (isSystemSynthName (name))
        return false;

    return allowFwug || ! containsFwugText (name);
}

bool isFwugPortName (const juce::String& name)
{
    if (containsFwugText (name))
        return true;

    return zorv::bTest_fwug && ! bAuto && isGenericZorvPortName (name.toLowerCase().trim());
}

bool isGenericZorvPortName (const juce::String& name)
{
    return name.matchesWildcard (genericZorvPattern, true);
}

bool isSystemSynthName (const juce::String& name)
{
    return name.containsIgnoreCase (systemSynthText);
}

juce::StringArray getDeviceNames0 (bool outputs)
{
    const auto all = outputs ? MidiPorts::getOutputNames() : MidiPorts::getInputNames();
    juce::StringArray names;

    for (const auto& name : all)
    {
        if (name.trim().isEmpty() || isSystemSynthName (name))
            continue;

        names.addIfNotAlreadyThere (name, false);
    }

    return names;
}

juce::StringArray getDeviceNames (bool)
{
    auto names = getDeviceNames0 (true);

    for (auto& name : names)
        if (containsFwugText (name))
            name = fwugShownName;

    return names;
}

juce::String convFwugMan (const juce::String& name)
{
    if (! containsFwugText (name))
        return name;

    // Both lists are read afresh; a port that comes or goes in between can
    // make the index point past the end, which yields the empty text.
    const auto index = getDeviceNames (true).indexOf (name, false);
    return getDeviceNames0 (true)[index];
}
}
