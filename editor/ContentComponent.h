#pragma once

#include "editor/CommandButton.h"
#include "editor/ControlSection.h"
#include "editor/CtModeComboBox.h"
#include "editor/CtPtclComboBox.h"
#include "editor/MapComboBox.h"
#include "editor/MappableButton.h"
#include "editor/MixerSection.h"
#include "editor/PageLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// True while the mouse rests on the product-name image: the page then shows
// the tip that a click there switches between the Trevan M and X layouts.
extern bool m2x_in_paint;

// The editor's one page: the picture of the surface with its two panels of
// mappable buttons, the protocol and mode boxes, the attribute boxes that show
// (and in the user-defined modes edit) the selected control, and the command
// buttons. It switches between the Trevan M layout (1000 x 576) and the
// Trevan X layout (786 x 576, channel strips only).
class ContentComponent : public juce::Component,
                         public juce::Button::Listener,
                         public juce::ComboBox::Listener
{
public:
    ContentComponent();
    ~ContentComponent() override;

    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* box) override;

    //==============================================================================
    // Layout and drawing
    void willDispXS (bool showX);
    void showAboutDlg() const;
    juce::Rectangle<int> prodLogoArea() const;
    void paintLogos (juce::Graphics& g);
    void updLayoutOfComboBoxes();
    void updLayoutOfCommandBtns();

    //==============================================================================
    // Attribute boxes
    void stabilize_controls();
    void updAttrBoxesWith (MappableButton& control);
    void updWith (MapComboBox& box, MappableButton& control);
    MappableButton* findSelectedControl() const;

    //==============================================================================
    // Selection and the jog wheel
    void clearToggleStates();
    void ToggOnZoomNorLR();
    void ToggOnJogLorR();

private:
    friend struct ContentComponentProbe;   // lets the tests reach the widgets

    // The commands behind the command buttons.
    void connectToDevice();
    void sendMapping();
    void saveToFile();
    void loadFromFile();
    void loadMapping (const juce::File& file);

    // Selecting a control by a click on its button.
    void selectControl (MappableButton& clicked);

    // After a layout switch: a selected control that the page no longer
    // shows is no longer selected, and the attribute boxes empty.
    void dropHiddenSelection();

    // The refill of one attribute box for a control (updWith picks one).
    void refillTypeBox (const MappableButton& control);
    void refillChanBox (const MappableButton& control);
    void refillFuncBox (const MappableButton& control);
    void refillRotBox (const MappableButton& control);

    // The edits of one attribute box, carried into the selected control.
    void typeBoxChanged (MappableButton& sel);
    void chanBoxChanged (MappableButton& sel);
    void funcBoxChanged (MappableButton& sel);
    void rotBoxChanged (MappableButton& sel);

    // The picture of the surface of the layout shown, decoded on first use.
    const juce::Image& surfacePicture();

    // The jog halves: the active one (isJogLorR) and the other; and their
    // binding to the controls they stand for in the zoom state.
    MappableButton& activeJogHalf() const;
    MappableButton& otherJogHalf() const;
    void bindJogHalvesToZoomState();

    // Both panels' children, interleaved child by child: the order in which
    // the selection is searched and cleared.
    juce::Array<juce::Component*> panelChildren() const;

    // Drawn by every widget of the page; outlives them all.
    PageLookAndFeel lookAndFeel;

    juce::TooltipWindow tooltipWindow { nullptr, 0 };

    juce::Label ptclLabel, modeLabel, funcLabel, typeLabel, chanLabel, rotLabel;

    CtModeComboBox modeBox;
    CtPtclComboBox ptclBox;
    MapComboBox funcBox, chanBox, typeBox, rotBox;

    CommandButton saveBtn, loadBtn, sendBtn, firmwareBtn, connectBtn;

    juce::Image makerLogo, bgImage, bgexImage, trvImage, trxImage;

    juce::Point<float> lastMousePos;
    bool overMakerLogo = false;

    MixerSection mixer;
    ControlSection controls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ContentComponent)
};
