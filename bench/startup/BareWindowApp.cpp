// The yardstick of bench/startup.sh: the least a JUCE application of this
// build can do to show a window like the editor's (native title bar, the same
// background, an empty page of the same size, centred), built with the same
// JUCE library.
#include <juce_gui_basics/juce_gui_basics.h>

class BareWindowApp : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override    { return "Bare Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    void initialise (const juce::String&) override      { window = std::make_unique<Window>(); }
    void shutdown() override                            { window = nullptr; }

private:
    struct Window : juce::DocumentWindow
    {
        Window() : DocumentWindow ("Bare Window", juce::Colour (0xFFEEEEEE),
                                   minimiseButton | closeButton, true)
        {
            setUsingNativeTitleBar (true);
            auto* page = new juce::Component();
            page->setSize (1000, 576);
            setContentOwned (page, true);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);
            setResizable (false, false);
        }

        void closeButtonPressed() override { juce::JUCEApplication::quit(); }
    };

    std::unique_ptr<Window> window;
};

START_JUCE_APPLICATION (BareWindowApp)
