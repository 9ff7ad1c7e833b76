#include "editor/MainApp.h"

#include "editor/ContentComponent.h"

#include "core/MidiNameTables.h"
#include "core/TrvPlus.h"
#include "platform/MidiPorts.h"
#include "upgrader/FirmwareUpgrade.h"

#include <csignal>
#include <cstring>

namespace
{
    // Every way of quitting goes through the application's quit request, so
    // that one rule decides whether now is the time.
    void requestQuit()
    {
        if (auto* app = juce::JUCEApplicationBase::getInstance())
            app->systemRequestedQuit();
    }
}

MainApp::~MainApp() = default;

const juce::String MainApp::getApplicationName()    { return JUCE_APPLICATION_NAME_STRING; }
const juce::String MainApp::getApplicationVersion() { return juce::String ("V") + JUCE_APPLICATION_VERSION_STRING; }
bool MainApp::moreThanOneInstanceAllowed()          { return false; }

void MainApp::initialise (const juce::String&)
{
    // Pitch-bend messages have no names of their own; every entry reads "---".
    for (auto& entry : PITCH)
    {
        std::memset (entry, 0, sizeof (entry));
        std::memcpy (entry, "---", 3);
    }

    initializeApplication();

    mainWindow = std::make_unique<MainWindow> (getApplicationName() + " " + getApplicationVersion());
}

void MainApp::initializeApplication()
{
    // Enumerating once up front lets the MIDI system settle before the user
    // first opens a port list; the lists themselves are not kept.
    MidiPorts::getInputNames();
    MidiPorts::getOutputNames();

    // Builds the five factory maps and makes "mackie" current.
    TrvPlus::getInstance();

    // Ctrl-C in the terminal, the SIGTERM of a logout and the SIGHUP of a
    // closed terminal are quit requests like the others, put off in the same way.
    quitSignals = std::make_unique<QuitSignals> (requestQuit);

   #ifdef SIGXFSZ
    // A write past the file-size limit (ulimit -f) would end the program at
    // once, leaving a half-written temporary file beside the settings file or
    // a mapping; ignored, the write fails with EFBIG and the save reports it.
    std::signal (SIGXFSZ, SIG_IGN);
   #endif
}

void MainApp::shutdown()
{
    mainWindow = nullptr;

    // Its destruction writes the settings file. A second launch, which
    // never ran initialise, has none to delete.
    if (TrvPlus::getInstanceWithoutCreating() != nullptr)
        TrvPlus::deleteInstance();

    // Last: a signal that comes while the settings file is written is one
    // more request to quit, not the end of the program halfway through it.
    // What is left of the shutdown (JUCE's own, the exit) must not be cut
    // short either, yet QuitSignals puts back the dispositions it found, the
    // defaults that end the program: so the signals are ignored for the rest
    // of the process first, which it then leaves as they are. At no moment
    // does one of them end the program.
    QuitSignals::ignoreFromNowOn();
    quitSignals = nullptr;
}

void MainApp::anotherInstanceStarted (const juce::String&)
{
    if (mainWindow != nullptr)
        mainWindow->toFront (true);
}

void MainApp::systemRequestedQuit()
{
    // Once quitting, the message loop dispatches nothing more and the
    // application goes: in the middle of a firmware upload the unit would be
    // left half-written and then reset.
    // The wizard carries the quit out once its step has ended.
    if (zorv::FirmwareUpgrade::deferQuitWhileBusy())
        return;

    quit();
}

MainApp::MainWindow::MainWindow (const juce::String& title)
    : DocumentWindow (title, juce::Colour (0xFFEEEEEE),
                      juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, true)
{
    setUsingNativeTitleBar (true);
    // The window follows the page's size when the page switches layouts.
    setContentOwned (new ContentComponent(), true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
    setResizable (false, false);
}

MainApp::MainWindow::~MainWindow() = default;

bool MainApp::MainWindow::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() == juce::KeyPress::escapeKey)
    {
        requestQuit();
        return true;
    }

    return Component::keyPressed (key);
}

void MainApp::MainWindow::closeButtonPressed()
{
    requestQuit();
}

void MainApp::MainWindow::paint (juce::Graphics& g)
{
    DocumentWindow::paint (g);

    // JUCE restates the window's size, without limits, when it paints into a
    // new window image, just before it calls this.
    sizeHints.apply();
}
