#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The editor page's command buttons. The type is what matters: the page finds
// its command buttons among its children by it and listens to each.
class CommandButton : public juce::TextButton
{
public:
    CommandButton();
    ~CommandButton() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CommandButton)
};
