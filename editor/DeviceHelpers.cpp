#include "editor/DeviceHelpers.h"

namespace DeviceHelpers
{
    bool validDeviceName (const juce::String& name)
    {
        if (name.containsIgnoreCase ("Trevan"))
            return true;

        return name.containsIgnoreCase ("zorv") && name.containsIgnoreCase ("midi");
    }
}
