#pragma once

#include "editor/ContentComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The tests' view of the editor page's widgets.
struct ContentComponentProbe
{
    ContentComponent& page;

    MapComboBox& typeBox()          { return page.typeBox; }
    MapComboBox& chanBox()          { return page.chanBox; }
    MapComboBox& funcBox()          { return page.funcBox; }
    MapComboBox& rotBox()           { return page.rotBox; }
    CtModeComboBox& modeBox()       { return page.modeBox; }
    CtPtclComboBox& ptclBox()       { return page.ptclBox; }
    juce::Label& typeLabel()        { return page.typeLabel; }
    juce::Label& chanLabel()        { return page.chanLabel; }
    juce::Label& funcLabel()        { return page.funcLabel; }
    juce::Label& rotLabel()         { return page.rotLabel; }
    CommandButton& sendBtn()        { return page.sendBtn; }
    ControlSection& controls()      { return page.controls; }
    MixerSection& mixer()           { return page.mixer; }

    void loadMapping (const juce::File& file)   { page.loadMapping (file); }
    juce::Array<MappableButton*> panelButtons()
    {
        juce::Array<MappableButton*> buttons;

        for (auto* child : page.panelChildren())
            if (auto* b = dynamic_cast<MappableButton*> (child))
                buttons.add (b);

        return buttons;
    }

    // The panel button now bound to a control id.
    MappableButton* button (int cid)
    {
        for (auto* b : panelButtons())
            if (b->cid == cid)
                return b;

        return nullptr;
    }

    // The ids of the panel buttons toggled on, sorted.
    juce::Array<int> toggled()
    {
        juce::Array<int> ids;

        for (auto* b : panelButtons())
            if (b->getToggleState())
                ids.add (b->cid);

        ids.sort();
        return ids;
    }
};
