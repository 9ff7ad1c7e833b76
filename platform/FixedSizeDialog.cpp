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
