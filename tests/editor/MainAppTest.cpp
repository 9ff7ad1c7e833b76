#include "tests/core/TrvPlusFixture.h"

#include "editor/ContentComponent.h"
#include "editor/MainApp.h"

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

    EXPECT_EQ (window->getBounds().getWidth(), 1000);
    EXPECT_EQ (window->getHeight(), 576);
    page->keyPressed (juce::KeyPress ('X'));
    EXPECT_EQ (window->getWidth(), 786);
    EXPECT_EQ (window->getHeight(), 576);

    // Any other key goes on to the window, which does not consume it.
    EXPECT_FALSE (window->keyPressed (juce::KeyPress ('Q')));

    window = nullptr;
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}
