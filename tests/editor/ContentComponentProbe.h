#pragma once

#include "editor/ContentComponent.h"
#include "tests/core/TrvPlusFixture.h"

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
    juce::Label& rotLabel()         { return page.rotLabel; }
    CommandButton& sendBtn()        { return page.sendBtn; }
    CommandButton& connectBtn()     { return page.connectBtn; }
    CommandButton& firmwareBtn()    { return page.firmwareBtn; }
    CommandButton& loadBtn()        { return page.loadBtn; }
    CommandButton& saveBtn()        { return page.saveBtn; }
    ControlSection& controls()      { return page.controls; }
    MixerSection& mixer()           { return page.mixer; }

    void loadMapping (const juce::File& file)   { page.loadMapping (file); }

    // The captions of the three attribute boxes, joined by "/".
    juce::String captions() const
    {
        return page.typeLabel.getText() + "/" + page.chanLabel.getText() + "/" + page.funcLabel.getText();
    }

    // The panel button now bound to a control id.
    MappableButton* button (int cid)
    {
        for (auto* child : page.panelChildren())
            if (auto* b = dynamic_cast<MappableButton*> (child); b != nullptr && b->cid == cid)
                return b;

        return nullptr;
    }

    // The ids of the panel buttons toggled on, sorted.
    juce::Array<int> toggled()
    {
        juce::Array<int> ids;

        for (auto* child : page.panelChildren())
            if (auto* b = dynamic_cast<MappableButton*> (child); b != nullptr && b->getToggleState())
                ids.add (b->cid);

        ids.sort();
        return ids;
    }
};

namespace editor_page_test
{
    inline void runMessageLoop (int ms = 20)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
    }

    // A real click: the button posts it to itself and the message loop delivers it.
    inline void click (juce::Button& b)
    {
        b.triggerClick();
        runMessageLoop();
    }

    inline void choose (juce::ComboBox& box, int itemId)
    {
        ASSERT_GE (box.indexOfItemId (itemId), 0) << "no item " << itemId;
        box.setSelectedId (itemId, juce::sendNotificationSync);
    }

    // A page on the mapping singleton, and the probe into it.
    class PageFixture : public TrvPlusFixture
    {
    protected:
        void SetUp() override
        {
            TrvPlusFixture::SetUp();

            if (! IsSkipped())
            {
                page = std::make_unique<ContentComponent>();
                probe = std::make_unique<ContentComponentProbe> (ContentComponentProbe { *page });
            }
        }

        void TearDown() override
        {
            probe = nullptr;
            page = nullptr;
            runMessageLoop (5);
        }

        void select (int cid)
        {
            auto* b = probe->button (cid);
            ASSERT_NE (b, nullptr) << "no button bound to control " << cid;
            click (*b);
        }

        std::unique_ptr<ContentComponent> page;
        std::unique_ptr<ContentComponentProbe> probe;
    };
}
