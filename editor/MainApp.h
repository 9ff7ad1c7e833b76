#pragma once

#include "platform/FixedSizeHints.h"
#include "platform/QuitSignals.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The application object: one running instance, one main window.
class MainApp : public juce::JUCEApplication
{
public:
    MainApp() = default;
    ~MainApp() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    void initializeApplication();

    class MainWindow : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& title);
        ~MainWindow() override;

        bool keyPressed (const juce::KeyPress& key) override;
        void closeButtonPressed() override;
        void paint (juce::Graphics& g) override;

    private:
        // It cannot be resized by dragging: the window manager is told so.
        FixedSizeHints sizeHints { *this };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

private:
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<QuitSignals> quitSignals;
};
