#pragma once

#include "core/Settings.h"
#include "core/TrvPlus.h"

class TrvPlus::Impl
{
public:
    Impl();
    virtual ~Impl();

    void createDefaultMaps();
    juce::ValueTree createDefaultMapFor (CtMode mode);
    juce::ValueTree findMode (CtMode mode);
    void setCurrentMode (CtMode mode);
    void setCurrentPtcl (int unused);
    void saveSettings();

    juce::Result openFile (const juce::File& file);
    juce::Result saveCurrentMapping (const juce::File& file);
    juce::Result sendCurrentMapping();

    Settings settings;
    juce::String outputDeviceName;
    juce::ValueTree modes;
    juce::ValueTree current;
    zorv::PID_S pid {};
    CtMode currentMode;
};
