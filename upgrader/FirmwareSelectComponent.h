#pragma once

#include "upgrader/WizardTexts.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zorv
{
    // Content of the wizard's "Firmware Version" dialog: the catalogue entries
    // of one product, each shown as its name, " V" and its version, with OK
    // and Cancel. OK ends the enclosing dialog's modal loop with 1, after which
    // getDownloadUrl gives the chosen entry's image; Cancel closes the dialog.
    // The dialog does not own it. In auto mode it presses OK itself.
    class FirmwareSelectComponent : public juce::Component,
                                    public juce::Button::Listener,
                                    public juce::ComboBox::Listener
    {
    public:
        // `catalogue` holds the product's entries only; the picker keeps a copy
        // of its own, so the caller's tree may change or go.
        explicit FirmwareSelectComponent (const juce::ValueTree& catalogue);
        ~FirmwareSelectComponent() override;

        void paint (juce::Graphics&) override;
        void resized() override;
        void buttonClicked (juce::Button* button) override;
        void comboBoxChanged (juce::ComboBox* box) override;

        // Where the selected entry's image is downloaded from; an empty URL
        // when nothing is selected.
        juce::URL getDownloadUrl() const;

    private:
        juce::ComboBox list;
        juce::TextButton cancelButton { cancelCaption };
        juce::TextButton okButton { okCaption };
        const juce::ValueTree firmwares;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareSelectComponent)
    };
}
