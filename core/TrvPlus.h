#pragma once

#include "core/CtMap.h"
#include "core/CtMode.h"
#include "core/ProductIds.h"

#include <juce_core/juce_core.h>

#include <memory>

// The one owner of the mapping model while the program runs: the map of each
// control mode, which of them is current, the output port chosen for the
// transfer, and the settings file written on the way out.
class TrvPlus
{
public:
    TrvPlus();
    virtual ~TrvPlus();

    CtMode getCurrentCtMode() const;
    int getCurrPtcl() const;

    void setPID (zorv::PID_S pid);
    void setPtcl (int unused);
    void setCtMode (CtMode mode);
    void setCurrentOutputDevice (const juce::String& name);

    // Shares the live tree: edits made through the returned map change the model.
    CtMap getCurrentMap() const;

    juce::Result openFile (const juce::File& file);
    juce::Result saveCurrentMapping (const juce::File& file);
    juce::Result sendCurrentMapping();

    JUCE_DECLARE_SINGLETON (TrvPlus, true)

    class Impl;

private:
    std::unique_ptr<Impl> impl;

    JUCE_DECLARE_NON_COPYABLE (TrvPlus)
};
