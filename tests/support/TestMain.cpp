#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
    juce::JUCEApplicationBase* noApplication() { return nullptr; }
}

// JUCE's message manager, fonts and desktop live for the whole run, as they do
// in the application.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // With an application factory set, JUCE treats the runner as a standalone
    // application and installs its forgiving X error handlers; without them a
    // bare Xvfb kills the first desktop window with BadAtom. The factory is
    // never called: the tests drive the message loop themselves.
    juce::JUCEApplicationBase::createInstance = &noApplication;

    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
