// The status item in a real system tray (trayer), and without one. In a tray the icon is
// embedded and a click opens the menu; without one the Preferences window is the way in, opened
// at launch, until a tray appears and gets the icon; --background opens nothing. One Plinka at a
// time: a later copy of the same bundle reopens the running one, which pops up its status menu
// or opens its Preferences window, and quits. Screenshots of the open menu and of the window are
// kept in the build tree (artifacts/tray-menu.png, no-tray-preferences.png).
#include <gmock/gmock.h>
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

using TrayTest = DesktopTest;

TEST_F(TrayTest, TheIconSitsInTheTrayAndAClickOpensTheMenu) {
    auto tray = startTray();
    if (!tray) {
        GTEST_SKIP() << "trayer is not installed or did not start";
    }
    PlinkaSession session(display());
    auto plinka = session.start();
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }))
        << plinka->output();
    const std::string icon = visibleWindows("Plinka").front();
    auto geometry = [&](const std::string& window) {
        Geometry found;
        std::sscanf(output("xdotool getwindowgeometry --shell " + window).value_or("").c_str(),
                    "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &found.x, &found.y, &found.width,
                    &found.height);
        return found;
    };
    const Geometry at = geometry(icon);
    ASSERT_GT(at.width, 0);
    // Embedded: inside the tray's 48-pixel strip at the top left.
    EXPECT_LE(at.x + at.width, 96);
    EXPECT_LE(at.y + at.height, 48);
    // Drawn: the artwork, not a blank square of the tray's background.
    EXPECT_TRUE(eventually([&] {
        const auto colours = output("import -window " + icon + " -format %k info:");
        return colours && std::stoi(*colours) > 4;
    }));

    xdotool({"mousemove", std::to_string(at.x + at.width / 2), std::to_string(at.y + at.height / 2),
             "click", "1"});
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 2; }));
    const auto windows = visibleWindows("Plinka");
    // A header, "Off", the four shipped themes, a separator, About and Quit.
    EXPECT_GT(geometry(windows[windows[0] == icon ? 1 : 0]).height, 8 * 16);
    screenshot("tray-menu");

    xdotool({"key", "Escape"});
    EXPECT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }));
}

constexpr const char* kYielding =
    "Found another Plinka process; sent 'reopen' and will quit instead.";

using SingleCopyTest = DesktopTest;

// The later copy does nothing but hand over, even with a feedback prompt due and started from
// the Downloads folder: no prompt, no mail, no move offered, no scripting, nothing written.
TEST_F(SingleCopyTest, ALaterCopyReopensTheRunningOneAndQuits) {
    const auto tray = startTray();
    if (!tray) {
        GTEST_SKIP() << "trayer is not installed or did not start";
    }
    PlinkaSession session(display());
    session.placeBundleIn(session.home() + "/Downloads");
    std::filesystem::create_directories(session.home() + "/Applications");
    const std::string version =
        *readPropertyListFile(session.bundle() + "/Contents/Info.plist", nullptr)
             .value_or(Object())
             .objectForKey("CFBundleVersion")
             .stringValue();
    session.writeDefaults({{Object::string("FeedbackLastVersionUsed"), Object::string(version)},
                           {Object::string("FeedbackFirstUsed"), Object::date(0)}});
    const std::string defaults = fileContents(session.defaultsFile());
    session.addProgram("xdg-open",
                       "#!/bin/sh\necho \"$@\" >> '" + session.directory() + "/opened'\n");
    auto first = session.start({"-FeedbackSuppress", "YES"});
    // Its icon in the tray: the event loop runs and reopen requests are answered.
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }))
        << first->output();

    session.offerTheMove();
    auto later = session.start();
    EXPECT_EQ(later->waitForExit(), 0);
    EXPECT_THAT(later->output(), HasSubstr("Plinka[" + std::to_string(later->pid()) + ":"));
    EXPECT_THAT(later->output(), HasSubstr(kYielding));
    EXPECT_THAT(later->output(), Not(HasSubstr("scripting")));
    EXPECT_EQ(fileContents(session.directory() + "/opened"), "");
    EXPECT_EQ(fileContents(session.defaultsFile()), defaults);
    EXPECT_TRUE(windowsNamed("Move to Applications").empty());
    // The status menu pops up beside the icon.
    EXPECT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 2; }));
    EXPECT_TRUE(running(first->pid()));

    // The desktop entry's Preferences action: the running copy opens its window, no menu.
    xdotool({"key", "Escape"});
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }));
    auto preferences = session.start({"--preferences"});
    EXPECT_EQ(preferences->waitForExit(), 0);
    EXPECT_THAT(preferences->output(), HasSubstr(kYielding));
    EXPECT_TRUE(eventually([&] { return !windowsNamed("Plinka Preferences").empty(); }));
    EXPECT_EQ(visibleWindows("Plinka").size(), 2u);
}

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
