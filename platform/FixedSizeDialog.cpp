#include "platform/FixedSizeDialog.h"

FixedSizeDialog::FixedSizeDialog (const Options& options, juce::Component& content)
    : FixedSizeDialog (options, content, false)
{
}

FixedSizeDialog::FixedSizeDialog (const Options& options, std::unique_ptr<juce::Component> content)
    : FixedSizeDialog (options, *content.release(), true)
{
}

FixedSizeDialog::FixedSizeDialog (const Options& options, juce::Component& content, bool ownsContent)
    : juce::DialogWindow (options.title, juce::Colours::lightgrey, options.escapeKeyCloses, false,
                          options.centreAround != nullptr
                              ? juce::Component::getApproximateScaleFactorForComponent (options.centreAround)
                              : 1.0f)
{
    // The order matters: the title bar decides the border around the content,
    // and the window follows the content's size only with that border known.
    setUsingNativeTitleBar (options.nativeTitleBar);
    setResizable (false, false);

    if (ownsContent)
        setContentOwned (&content, true);
    else
        setContentNonOwned (&content, true);

    centreAroundComponent (options.centreAround, getWidth(), getHeight());
    addToDesktop();
}

void FixedSizeDialog::launchAsync (const Options& options, std::unique_ptr<juce::Component> content)
{
    auto* dialog = new FixedSizeDialog (options, std::move (content));
    dialog->enterModalState (true, nullptr, true);
}

void FixedSizeDialog::closeButtonPressed()
{
    setVisible (false);
}

void FixedSizeDialog::paint (juce::Graphics& g)
{
    DialogWindow::paint (g);

    // JUCE restates the window's size, without limits, when it paints into a
    // new window image, just before it calls this.
    sizeHints.apply();
}

bool FixedSizeDialog::keyPressed (const juce::KeyPress& key)
{
    // A key goes to the focused component and then up through its parents,
    // never down. The dialog has the keyboard as it opens, so a content with
    // keys of its own (the wizard's Escape, which gives up what is under way)
    // would hear none until one of its buttons had been clicked: a key that
    // has not come up through the content is handed to it here.
    auto* content = getContentComponent();

    if (content != nullptr && content->getWantsKeyboardFocus() && ! content->hasKeyboardFocus (true)
         && content->keyPressed (key))
        return true;

    return juce::DialogWindow::keyPressed (key);
}
