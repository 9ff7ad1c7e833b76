#include "upgrader/FirmwareUpgradeComponent.h"

#include "platform/MidiPorts.h"
#include "upgrader/DeviceHelpers.h"
#include "upgrader/Product.h"
#include "upgrader/ProductTables.h"

namespace zorv
{
namespace
{
    juce::StringArray rawPortNames (bool outputs)
    {
        return outputs ? MidiPorts::getOutputNames() : MidiPorts::getInputNames();
    }

    bool matchesAny (const juce::String& name, const char* const (&patterns)[2])
    {
        for (auto* pattern : patterns)
            if (pattern != nullptr && name.matchesWildcard (pattern, true))
                return true;

        return false;
    }
}

bool FirmwareUpgradeComponent::isValidFmwName (juce::String name, unsigned int pid)
{
    for (const auto& row : ProductTables::firmwareNames)
    {
        if ((unsigned int) row.pid != pid)
            continue;

        if (matchesAny (name, row.noneOf))
            return false;

        return matchesAny (name, row.anyOf);
    }

    return true;
}

int FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (int pid, int k)
{
    int upgradePorts = 0, productPorts = 0;

    for (const auto& name : rawPortNames (true))
    {
        if (name.contains (DeviceHelpers::fwugPortText))
            ++upgradePorts;

        if (Product::pidFromDeviceName (name) == pid)
            ++productPorts;
    }

    return k * upgradePorts + productPorts;
}

int FirmwareUpgradeComponent::numberForDevice (juce::StringRef text, bool outputs)
{
    int count = 0;

    for (const auto& name : rawPortNames (outputs))
        if (name.contains (text))
            ++count;

    return count;
}

int FirmwareUpgradeComponent::indexForFirstDevice (juce::StringRef text, bool outputs)
{
    const auto names = DeviceHelpers::getDeviceNames0 (outputs);

    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains (text))
            return i;

    return -1;
}

juce::String FirmwareUpgradeComponent::firstTargetNameByPid (int pid, const juce::StringArray& names)
{
    for (const auto& name : names)
        if (Product::pidFromDeviceName (name) == pid)
            return name;

    return {};
}
}
