#include "upgrader/Product.h"

#include "upgrader/ProductTables.h"

namespace zorv
{
juce::uint32 g_forSpecialDeviceQ = 0;

namespace
{
    bool specialTableInForce()
    {
        return g_forSpecialDeviceQ == 1;
    }
}

bool Product::validPID (int pid)
{
    return pid != Unknown;
}

juce::String Product::getName (PID pid)
{
    const auto& names = specialTableInForce() ? ProductTables::specialNames
                                              : ProductTables::normalNames;

    for (const auto& row : names)
        if (row.pid == pid)
            return row.name;

    return "Unknown";
}

Product::PID Product::pidFromDeviceName (const juce::String& portName)
{
    const auto name = portName.toLowerCase().trim();
    const auto& patterns = specialTableInForce() ? ProductTables::specialPatterns
                                                 : ProductTables::normalPatterns;

    for (const auto& row : patterns)
        if (name.matchesWildcard (row.pattern, true))
            return static_cast<PID> (row.pid);

    return Unknown;
}

int Product::requestFamily (int pid)
{
    for (const auto& row : ProductTables::families)
        if (row.pid == pid)
            return row.family;

    return pid;
}
}
