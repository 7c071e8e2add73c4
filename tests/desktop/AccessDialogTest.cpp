// A Wayland session whose keyboards cannot be read: the real application explains how to get
// access instead of failing. A screenshot of the dialog is kept in the build tree
// (artifacts/accessibility-dialog.png).
#include <gmock/gmock.h>

#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDialog = "^Accessibility Required$";

class AccessDialogTest : public DesktopTest {
  protected:
    // Starts Plinka as on a Wayland session whose one keyboard node cannot be read (a file that
    // is no device, under a name the kernel describes nothing by), with stand-ins for the
    // browser opener and for pkexec (which answers as a cancelled authorization).
    std::unique_ptr<ChildProcess> startWithUnreadableKeyboard() {
        writeFile(session.directory() + "/no-keyboards/event-unreadable", "");
        const std::string record = "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + session.directory();
        session.addProgram("xdg-open", record + "/opened'\n");
        session.addProgram("pkexec", record + "/authorized'\nexit 126\n");
        return session.start({}, {{"XDG_SESSION_TYPE", "wayland"},
                                  {"PLINKA_INPUT", ""},
                                  {"PLINKA_INPUT_DEVICES", session.directory() + "/no-keyboards"}});
    }
    std::string opened() const { return fileContents(session.directory() + "/opened"); }
    std::string authorized() const { return fileContents(session.directory() + "/authorized"); }

    PlinkaSession session{display()};
};

// Its "Quit" ends the launch there: the crash report and the move that were pending wait for
// the next one, and no dialog after it answers itself.
TEST_F(AccessDialogTest, TheDialogExplainsInsteadOfAnErrorAndEscapeQuitsThere) {
    session.placeBundleIn(session.home() + "/Downloads");
    fs::create_directories(session.home() + "/Applications");
    session.offerTheMove();
    const std::string report = session.home() + "/state/Plinka/crashes/Plinka_1.crash";
    writeFile(report, "Signal: 11 (SIGSEGV)\n");
    auto plinka = startWithUnreadableKeyboard();
    ASSERT_TRUE(eventually([&] { return windowsNamed(kDialog).size() == 1; })) << plinka->output();
    // The explanation wraps: one line of it would be wider than the screen's 1024 pixels.
    EXPECT_THAT(output("xdotool getwindowgeometry " + windowsNamed(kDialog).front()),
                ::testing::Optional(::testing::ContainsRegex("Geometry: [1-6][0-9][0-9]x")));
    screenshot("accessibility-dialog");
    xdotool({"key", "Escape"});
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0) << plinka->output();
    EXPECT_THAT(windowsNamed("^Plinka Error$"), ::testing::IsEmpty());
    EXPECT_EQ(authorized(), "");
    EXPECT_EQ(opened(), "");
    EXPECT_TRUE(fs::exists(report));
    EXPECT_TRUE(fs::exists(session.bundle()));
    EXPECT_FALSE(fs::exists(session.home() + "/Applications/Plinka.app"));
}

TEST_F(AccessDialogTest, HelpOpensThePageAndTheGrantCancelledStillQuits) {
    auto plinka = startWithUnreadableKeyboard();
    ASSERT_TRUE(eventually([&] { return windowsNamed(kDialog).size() == 1; })) << plinka->output();
    xdotool({"key", "F1"});
    ASSERT_TRUE(eventually([&] { return !opened().empty(); })) << plinka->output();
    EXPECT_EQ(opened(), "http://plinka.org/help/accessibility/linux.html\n");
    EXPECT_EQ(windowsNamed(kDialog).size(), 1u);

    xdotool({"key", "Return"});
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0) << plinka->output();
    EXPECT_TRUE(authorized().starts_with("/bin/sh -c PATH="));
    EXPECT_NE(plinka->output().find("Keyboard access not granted"), std::string::npos);
    EXPECT_EQ(plinka->output().find("Plinka Error"), std::string::npos) << plinka->output();
}

}  // namespace
}  // namespace plinka::testing
