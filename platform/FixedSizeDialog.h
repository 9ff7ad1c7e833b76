#pragma once

#include "platform/FixedSizeHints.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// A modal dialog that the user cannot resize: its content area is exactly the
// content's size under the title bar it has, it appears centred, and the
// window manager is told its size is fixed.
//
// JUCE's DialogWindow::LaunchOptions sizes the window for JUCE's own title bar
// and only then switches to the native one, which leaves the content stretched
// by that bar and its border; here the title bar is chosen before the window is
// sized around its content and put on the desktop.
class FixedSizeDialog : public juce::DialogWindow
{
public:
    struct Options
    {
        juce::String title;
        juce::Component* centreAround = nullptr;    // null: the active top-level window
        bool escapeKeyCloses = true;
        bool nativeTitleBar = true;
    };

    // The caller keeps `content`, and deletes this dialog before it.
    FixedSizeDialog (const Options&, juce::Component& content);

    // The dialog deletes `content` when it goes.
    FixedSizeDialog (const Options&, std::unique_ptr<juce::Component> content);

    // Shows a dialog modally without waiting for it; the dialog and its
    // content are deleted once it is dismissed.
    static void launchAsync (const Options&, std::unique_ptr<juce::Component> content);

    // Hides the dialog, which ends its modal state.
    void closeButtonPressed() override;

    void paint (juce::Graphics&) override;

    // A content that takes keys of its own hears them while the dialog has
    // the keyboard too.
    bool keyPressed (const juce::KeyPress&) override;

private:
    FixedSizeDialog (const Options&, juce::Component& content, bool ownsContent);

    FixedSizeHints sizeHints { *this };

    JUCE_DECLARE_NON_COPYABLE (FixedSizeDialog)
};
