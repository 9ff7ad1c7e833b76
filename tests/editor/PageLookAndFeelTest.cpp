#include "tests/editor/ContentComponentProbe.h"

#include "editor/PageLookAndFeel.h"

#include <set>

// Every text the page can show on a label or button is drawn whole: every
// character, none given up for an ellipsis, at the widget's own font (the
// labels' sizes are fixed) and inside the widget; too wide a text is squeezed
// horizontally instead.
using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    // What is wrong with the way the page draws a widget's text; empty when
    // nothing is (or the widget shows no text).
    juce::String misfitOf (juce::Component& widget)
    {
        auto& lookAndFeel = dynamic_cast<PageLookAndFeel&> (widget.getLookAndFeel());
        juce::String text;
        juce::Font font;
        juce::GlyphArrangement glyphs;

        if (auto* label = dynamic_cast<juce::Label*> (&widget))
        {
            text = label->getText();
            font = label->getFont();
            glyphs = lookAndFeel.layOutText (*label);
        }
        else if (auto* button = dynamic_cast<juce::TextButton*> (&widget))
        {
            // The zoom buttons and control 49 carry their text invisibly.
            if (button->findColour (juce::TextButton::textColourOffId).isTransparent())
                return {};

            text = button->getButtonText();
            font = lookAndFeel.getTextButtonFont (*button, button->getHeight());
            glyphs = lookAndFeel.layOutText (*button);
        }
        else
        {
            return {};
        }

        const auto where = "'" + text + "' in " + widget.getLocalBounds().toString() + ": ";
        juce::String drawn;

        for (auto& glyph : glyphs)
        {
            if (! glyph.isWhitespace())
                drawn += juce::String::charToString (glyph.getCharacter());

            if (glyph.getBounds().getHeight() != font.getHeight())
                return where + "drawn smaller than its font";
        }

        if (drawn != text.removeCharacters (" "))
            return where + "drawn as '" + drawn + "'";

        if (! widget.getLocalBounds().toFloat().contains (glyphs.getBoundingBox (0, -1, false)))
            return where + "drawn past the widget's edges";

        return {};
    }

    // Controls whose texts are drawn alike: of one kind, shown on the same
    // kind of widget, of one size and font.
    juce::String drawnAlike (MappableButton& control, juce::Component& widget)
    {
        auto* label = dynamic_cast<juce::Label*> (&widget);
        return juce::String ((int) control.kind)
             + (label != nullptr ? " label at " + juce::String (label->getFont().getHeight()) : juce::String (" button"))
             + " " + widget.getLocalBounds().toString();
    }
}

class PageTexts : public PageFixture
{
protected:
    void setMode (int m)
    {
        trv->setCtMode (CtMode (m));
        trv->setPtcl (trv->getCurrPtcl());
        page->stabilize_controls();
    }

    // Walks the jog wheel through zoom states 0, 1 and 2, back to 0 at the end.
    template <typename Check>
    void inEveryZoomState (Check&& check)
    {
        for (auto* zoom : { (MappableButton*) nullptr, probe->controls().zoomButton1.get(),
                            probe->controls().zoomButton2.get() })
        {
            if (zoom != nullptr)
                click (*zoom);

            check();
        }

        click (*probe->controls().zoomButton2);
        ASSERT_EQ (isZoomNorLR, 0);
    }

    void checkAll (juce::Component& parent, juce::StringArray& misfits)
    {
        for (auto* child : parent.getChildren())
            if (auto misfit = misfitOf (*child); misfit.isNotEmpty())
                misfits.addIfNotAlreadyThere (misfit);
    }

    // The mappable buttons of both panels, with the widget that shows each
    // one's text.
    juce::Array<std::pair<MappableButton*, juce::Component*>> controlsWithTheirTexts()
    {
        juce::Array<std::pair<MappableButton*, juce::Component*>> result;

        for (auto* panel : { (juce::Component*) &probe->mixer(), (juce::Component*) &probe->controls() })
            for (auto* child : panel->getChildren())
                if (auto* b = dynamic_cast<MappableButton*> (child))
                    result.add ({ b, b->companionLabel != nullptr ? (juce::Component*) b->companionLabel.getComponent() : b });

        return result;
    }
};

TEST_F (PageTexts, EveryTextOfTheFactoryMapsFits)
{
    juce::StringArray misfits;

    for (int m = 0; m < 5; ++m)
    {
        setMode (m);
        inEveryZoomState ([&]
        {
            checkAll (*page, misfits);
            checkAll (probe->mixer(), misfits);
            checkAll (probe->controls(), misfits);
        });
    }

    EXPECT_TRUE (misfits.isEmpty()) << misfits.joinIntoString ("\n");
}

// In the user modes a control can show the name of anything the user picks
// for it, in every type; controls whose texts are drawn alike are tried once.
TEST_F (PageTexts, EveryFunctionAUserCanPickFits)
{
    juce::StringArray misfits;

    for (const int m : { (int) CtMode::usrdefMcp, (int) CtMode::usrdefHui })
    {
        setMode (m);
        std::set<juce::String> tried;

        inEveryZoomState ([&]
        {
            for (auto [control, widget] : controlsWithTheirTexts())
            {
                if (widget == control && control->findColour (juce::TextButton::textColourOffId).isTransparent())
                    continue;   // shows no text

                if (! tried.insert (drawnAlike (*control, *widget)).second)
                    continue;

                click (*control);
                auto check = [&]
                {
                    if (auto misfit = misfitOf (*widget); misfit.isNotEmpty())
                        misfits.addIfNotAlreadyThere (misfit);
                };

                if (m == CtMode::usrdefHui)
                {
                    for (int item = 1; item <= probe->funcBox().getNumItems(); ++item)
                    {
                        choose (probe->funcBox(), item);
                        check();
                    }

                    continue;
                }

                // Note, CC, pitch bend (named by its channel) and, for fader touch, null.
                for (int type = 1; type <= probe->typeBox().getNumItems(); ++type)
                {
                    choose (probe->typeBox(), type);
                    auto& values = type == 3 ? probe->chanBox() : probe->funcBox();

                    for (int item = 1; item <= values.getNumItems(); ++item)
                    {
                        choose (values, item);
                        check();
                    }
                }
            }
        });

        // Knob, knob push, fader, master fader, the 13- and 15-point button
        // labels, control 64, and the jog halves as jog wheel and as cursor keys.
        EXPECT_EQ (tried.size(), 9u) << "mode " << m;
    }

    EXPECT_TRUE (misfits.isEmpty()) << misfits.joinIntoString ("\n");
}
