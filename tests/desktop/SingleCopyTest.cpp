// One Plinka at a time: a later copy of the same bundle reopens the running one, which pops up
// its status menu or opens its Preferences window, and quits.
#include <gmock/gmock.h>

#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kYielding =
    "Found another Plinka process; sent 'reopen' and will quit instead.";

class SingleCopyTest : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        tray = startTray();
        if (!tray) {
            GTEST_SKIP() << "trayer is not installed or did not start";
        }
    }

    std::unique_ptr<ChildProcess> tray;
};

// The later copy does nothing but hand over, even with a feedback prompt due and started from
// the Downloads folder: no prompt, no mail, no move offered, no scripting, nothing written.
TEST_F(SingleCopyTest, ALaterCopyReopensTheRunningOneAndQuits) {
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

}  // namespace
}  // namespace plinka::testing
