#include "editor/AboutComponent.h"

#include <gtest/gtest.h>

namespace
{
    template <typename Type>
    Type* childNamed (juce::Component& parent, const juce::String& name)
    {
        for (auto* child : parent.getChildren())
            if (child->getName() == name)
                return dynamic_cast<Type*> (child);

        return nullptr;
    }

    struct AboutChildren
    {
        explicit AboutChildren (juce::Component& about)
            : title (childNamed<juce::Label> (about, "new label")),
              copyright (childNamed<juce::Label> (about, "CopyrightLabel")),
              link (childNamed<juce::HyperlinkButton> (about, "About Us")),
              version (childNamed<juce::Label> (about, "VersionLabel"))
        {
        }

        bool allThere() const { return title && copyright && link && version; }

        juce::Label* title;
        juce::Label* copyright;
        juce::HyperlinkButton* link;
        juce::Label* version;
    };
}

TEST (AboutComponent, ShowsNameVersionCopyrightAndLink)
{
    AboutComponent about;
    AboutChildren c (about);
    ASSERT_TRUE (c.allThere());
    ASSERT_EQ (about.getNumChildComponents(), 4);

    EXPECT_EQ (c.title->getText(), "Trevan M/X Quelt");
    EXPECT_EQ (c.version->getText(), "V2.17 Build 59");
    EXPECT_EQ (c.copyright->getText(), juce::String::fromUTF8 ("Copyright \xc2\xa9 Zorv Pro Audio"));
    EXPECT_EQ (c.link->getButtonText(), "About Us");
    EXPECT_EQ (c.link->getURL().toString (false), "https://www.zorvproaudio.com/");
    EXPECT_EQ (c.link->getTooltip(), "https://www.zorvproaudio.com/");
    EXPECT_EQ (c.title->getFont().getTypefaceStyle(), "Bold");
}

TEST (AboutComponent, LabelsCannotBeEdited)
{
    AboutComponent about;
    AboutChildren c (about);
    ASSERT_TRUE (c.allThere());

    for (auto* label : { c.title, c.copyright, c.version })
    {
        EXPECT_FALSE (label->isEditableOnSingleClick()) << label->getName();
        EXPECT_FALSE (label->isEditableOnDoubleClick()) << label->getName();
    }
}

TEST (AboutComponent, LayoutAtDefaultAndOtherSizes)
{
    AboutComponent about;
    AboutChildren c (about);
    ASSERT_TRUE (c.allThere());
    EXPECT_EQ (about.getBounds(), juce::Rectangle<int> (0, 0, 500, 278));

    EXPECT_EQ (c.title->getBounds(), juce::Rectangle<int> (10, 72, 480, 56));
    EXPECT_EQ (c.copyright->getBounds(), juce::Rectangle<int> (13, 243, 195, 24));
    EXPECT_EQ (c.link->getBounds(), juce::Rectangle<int> (393, 242, 94, 24));
    EXPECT_EQ (c.version->getBounds(), juce::Rectangle<int> (16, 128, 150, 24));

    // Odd widths halve toward zero; the link keeps 36 px from the bottom.
    about.setSize (601, 300);
    EXPECT_EQ (c.title->getX(), 60);
    EXPECT_EQ (c.version->getX(), 66);
    EXPECT_EQ (c.link->getY(), 264);
}

TEST (AboutComponent, PaintsADarkPanelWithTheCopyrightLineLegible)
{
    AboutComponent about;
    auto image = about.createComponentSnapshot (about.getLocalBounds());
    ASSERT_EQ (image.getWidth(), 500);
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour (0xFF222222u));
    EXPECT_EQ (image.getPixelAt (499, 60), juce::Colour (0xFF222222u));

    // The chosen copyright line must fit its box without being squeezed.
    AboutChildren c (about);
    ASSERT_TRUE (c.allThere());
    EXPECT_LE (c.copyright->getFont().getStringWidthFloat (c.copyright->getText()),
               (float) c.copyright->getWidth() - 10.0f);
}
