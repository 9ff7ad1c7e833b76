#include "tests/core/TrvPlusFixture.h"

#include "editor/ContentComponent.h"
#include "editor/MainApp.h"
#include "tests/support/X11SizeHints.h"

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());
}

using MainWindowTest = TrvPlusFixture;

TEST (MainApp, NamesItselfWithItsVersionAndRunsOnce)
{
    MainApp app;
    EXPECT_EQ (app.getApplicationName() + " " + app.getApplicationVersion(), "Trevan M/X Quelt V2.17");
    EXPECT_FALSE (app.moreThanOneInstanceAllowed());
}

// The main window lives on the desktop: it needs an X server (ctest runs the
// tests under Xvfb).
TEST_F (MainWindowTest, FixedSizeWindowThatFollowsThePageLayout)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    auto window = std::make_unique<MainApp::MainWindow> ("Trevan M/X Quelt V2.17");
    auto* page = dynamic_cast<ContentComponent*> (window->getContentComponent());
    ASSERT_NE (page, nullptr);

    EXPECT_EQ (window->getName(), "Trevan M/X Quelt V2.17");
    EXPECT_TRUE (window->isOnDesktop() && window->isVisible());
    EXPECT_TRUE (window->isUsingNativeTitleBar());
    EXPECT_FALSE (window->isResizable());

    const int flags = window->getDesktopWindowStyleFlags();
    EXPECT_NE (flags & juce::ComponentPeer::windowHasMinimiseButton, 0);
    EXPECT_NE (flags & juce::ComponentPeer::windowHasCloseButton, 0);
    EXPECT_EQ (flags & juce::ComponentPeer::windowHasMaximiseButton, 0);

    // A window manager lets the user resize a window unless its size hints
    // hold equal limits; they follow the layout switch.
    const auto expectSize = [&] (int width)
    {
        EXPECT_EQ (window->getWidth(), width);
        EXPECT_EQ (window->getHeight(), 576);
       #if JUCE_LINUX
        const auto size = juce::String (width) + " x 576";
        EXPECT_EQ (X11SizeHints::of (*window), "min " + size + ", max " + size);
       #endif
    };

    expectSize (1000);
    page->keyPressed (juce::KeyPress ('X'));
    expectSize (786);
    page->keyPressed (juce::KeyPress ('M'));
    expectSize (1000);

    // Any other key goes on to the window, which does not consume it.
    EXPECT_FALSE (window->keyPressed (juce::KeyPress ('Q')));

    window = nullptr;
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}

#if JUCE_LINUX
// JUCE lets go of a window's image after three idle seconds and restates the
// window's size, without limits, when it paints into a new one.
TEST_F (MainWindowTest, SizeLimitsOutlastAnIdlePause)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    auto window = std::make_unique<MainApp::MainWindow> ("Trevan M/X Quelt V2.17");
    juce::MessageManager::getInstance()->runDispatchLoopUntil (3500);

    window->getContentComponent()->repaint();
    window->getPeer()->performAnyPendingRepaintsNow();
    EXPECT_EQ (X11SizeHints::of (*window), "min 1000 x 576, max 1000 x 576");

    window = nullptr;
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}
#endif
