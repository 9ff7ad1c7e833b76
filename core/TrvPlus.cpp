#include "core/TrvPlusImpl.h"

#include "core/SharedFlags.h"
#include "core/Tags.h"

JUCE_IMPLEMENT_SINGLETON (TrvPlus)

TrvPlus::TrvPlus()
    : impl (std::make_unique<Impl>())
{
}

TrvPlus::~TrvPlus()
{
    impl->saveSettings();
    impl = nullptr;
    clearSingletonInstance();
}

CtMode TrvPlus::getCurrentCtMode() const
{
    return CtMode (impl->current.getProperty (Tags::mode).toString());
}

int TrvPlus::getCurrPtcl() const
{
    return (int) impl->current.getProperty (Tags::ptcl);
}

void TrvPlus::setPID (zorv::PID_S pid)                          { impl->pid = pid; }
void TrvPlus::setPtcl (int unused)                              { impl->setCurrentPtcl (unused); }
void TrvPlus::setCtMode (CtMode mode)                           { impl->setCurrentMode (mode); }
void TrvPlus::setCurrentOutputDevice (const juce::String& name) { impl->outputDeviceName = name; }

CtMap TrvPlus::getCurrentMap() const                            { return CtMap (impl->current); }

juce::Result TrvPlus::openFile (const juce::File& file)           { return impl->openFile (file); }
juce::Result TrvPlus::saveCurrentMapping (const juce::File& file) { return impl->saveCurrentMapping (file); }
juce::Result TrvPlus::sendCurrentMapping()                        { return impl->sendCurrentMapping(); }

//==============================================================================
TrvPlus::Impl::Impl()
    : modes (Tags::modes)
{
    createDefaultMaps();
}

TrvPlus::Impl::~Impl() = default;

void TrvPlus::Impl::createDefaultMaps()
{
    if (modes.getNumChildren() == 0)
        for (int m = 0; m < 5; ++m)
            modes.appendChild (createDefaultMapFor (CtMode::fromInt (m)), nullptr);

    setCurrentMode (CtMode::fromInt (CtMode::mackie));
    setCurrentPtcl (0);
}

juce::ValueTree TrvPlus::Impl::createDefaultMapFor (CtMode mode)
{
    return CtMap (mode).getTree();
}

juce::ValueTree TrvPlus::Impl::findMode (CtMode mode)
{
    return modes.getChildWithProperty (Tags::mode, CtMode::slugForType (mode.getValue()));
}

void TrvPlus::Impl::setCurrentMode (CtMode mode)
{
    currentMode = mode;
    current = findMode (mode);
    modes.setProperty (Tags::curr, CtMode::slugForType (mode.getValue()), nullptr);
}

void TrvPlus::Impl::setCurrentPtcl (int)
{
    const auto m = currentMode.getValue();
    const int flag = CtMode::isHui (m) ? 1 : 0;

    if (m == CtMode::usrdefMcp || m == CtMode::usrdefHui)
        g_LasPtcl4Usdf = flag;

    current.setProperty (Tags::ptcl, flag, nullptr);
}

// A failed write keeps the previous file; nobody is left to tell at quit.
void TrvPlus::Impl::saveSettings()
{
    if (auto xml = modes.createXml())
        settings.writeModes (*xml);
}
