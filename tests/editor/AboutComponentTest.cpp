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
}

TEST (AboutComponent, ShowsNameVersionCopyrightAndLinkInReadOnlyLabels)
{
    AboutComponent about;
    auto* title = childNamed<juce::Label> (about, "new label");
    auto* copyright = childNamed<juce::Label> (about, "CopyrightLabel");
    auto* version = childNamed<juce::Label> (about, "VersionLabel");
    auto* link = childNamed<juce::HyperlinkButton> (about, "About Us");
    ASSERT_TRUE (title && copyright && version && link);
    ASSERT_EQ (about.getNumChildComponents(), 4);

    EXPECT_EQ (title->getText(), "Trevan M/X Quelt");
    EXPECT_EQ (version->getText(), "V2.17 Build 59");
    EXPECT_EQ (copyright->getText(), juce::String::fromUTF8 ("Copyright \xc2\xa9 Zorv Pro Audio"));
    EXPECT_EQ (link->getButtonText(), "About Us");
    EXPECT_EQ (link->getURL().toString (false), "https://www.zorvproaudio.com/");
    EXPECT_EQ (link->getTooltip(), "https://www.zorvproaudio.com/");

    for (auto* label : { title, copyright, version })
        EXPECT_FALSE (label->isEditableOnSingleClick() || label->isEditableOnDoubleClick()) << label->getName();

    // Spot checks of the layout; odd widths halve toward zero and the link
    // keeps 36 px from the bottom.
    EXPECT_EQ (about.getBounds(), juce::Rectangle<int> (0, 0, 500, 278));
    EXPECT_EQ (title->getBounds(), juce::Rectangle<int> (10, 72, 480, 56));
    EXPECT_EQ (link->getBounds(), juce::Rectangle<int> (393, 242, 94, 24));

    // A dark panel, and the copyright line fits its box without being squeezed.
    const auto image = about.createComponentSnapshot (about.getLocalBounds());
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour (0xFF222222u));
    EXPECT_LE (copyright->getFont().getStringWidthFloat (copyright->getText()), (float) copyright->getWidth() - 10.0f);

    about.setSize (601, 300);
    EXPECT_EQ (title->getX(), 60);
    EXPECT_EQ (link->getY(), 264);
}
