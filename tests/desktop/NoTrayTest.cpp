// A desktop without a tray: the Preferences window is the way in, opened at launch with its
// sentence, and a tray that appears later gets the icon. --background opens nothing.
#include <signal.h>

#include <thread>

#include "DesktopTest.h"
#include "PlinkaSession.h"

namespace plinka::testing {
namespace {

using NoTrayTest = DesktopTest;

TEST_F(NoTrayTest, TheWindowOpensUntilATrayShowsTheIconAndNeverInTheBackground) {
    if (!installed("trayer")) {
        GTEST_SKIP() << "trayer is not installed";
    }
    auto preferencesShown = [&] { return !windowsNamed("Plinka Preferences").empty(); };
    PlinkaSession session(display());
    auto background = session.start({"--background"});
    ASSERT_TRUE(readUntil(*background, "scripting is off")) << background->output();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // its launch is over
    EXPECT_FALSE(preferencesShown());
    auto later = session.start();  // hands over to the running copy, which shows the window
    EXPECT_EQ(later->waitForExit(), 0) << later->output();
    EXPECT_TRUE(eventually(preferencesShown));
    ASSERT_EQ(::kill(background->pid(), SIGTERM), 0);
    EXPECT_EQ(background->waitForExit(), 0);
    EXPECT_TRUE(eventually([&] { return !preferencesShown(); }));

    auto plinka = session.start();
    ASSERT_TRUE(eventually(preferencesShown)) << plinka->output();
    screenshot("no-tray-preferences");
    auto tray = startTray();
    ASSERT_TRUE(tray);
    // The icon beside the window.
    EXPECT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 2; }));
}

}  // namespace
}  // namespace plinka::testing
