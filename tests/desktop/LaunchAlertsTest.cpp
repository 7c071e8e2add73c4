// The alerts of a launch in the real application on the real file system. The move offer: a copy
// unpacked into ~/Downloads offers to move itself at launch; the default button leaves it in
// ~/Applications, the old copy in the freedesktop Trash, and the new copy running. The access
// dialog: on a Wayland session whose keyboards cannot be read, the application explains how to
// get access instead of failing. Screenshots of both are kept in the build tree
// (artifacts/move-offer.png, accessibility-dialog.png).
#include <gmock/gmock.h>

#include <csignal>
#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"
#include "platform/linux/system/DesktopEntry.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOfferTitle = "Move to Applications folder in your Home folder?";

using MoveOfferTest = DesktopTest;

TEST_F(MoveOfferTest, TheDefaultButtonMovesTheCopyFromDownloadsAndStartsItFromApplications) {
    PlinkaSession session(display());
    const std::string home = session.home();
    session.placeBundleIn(home + "/Downloads");
    const std::string old = session.bundle();
    const std::string moved = home + "/Applications/Plinka.app";
    fs::create_directories(home + "/Applications");
    // Started at login from where it was.
    const fs::path autostart = home + "/config/autostart/plinka.desktop";
    writeFile(autostart,
              "[Desktop Entry]\nType=Application\nExec=\"" + old + "/Contents/MacOS/Plinka\"\n");
    session.offerTheMove();

    auto plinka = session.start();
    ASSERT_TRUE(eventually([&] { return windowsNamed(kOfferTitle).size() == 1; }))
        << plinka->output();
    screenshot("move-offer");
    xdotool({"windowfocus", "--sync", windowsNamed(kOfferTitle).front()});
    xdotool({"key", "Return"});

    EXPECT_EQ(plinka->waitForExit(), 0) << plinka->output();
    EXPECT_TRUE(fs::exists(moved + "/Contents/Info.plist"));
    EXPECT_FALSE(fs::exists(old));
    const fs::path trash = home + "/data/Trash";
    EXPECT_TRUE(fs::exists(trash / "files/Plinka.app/Contents/Info.plist"));
    EXPECT_NE(fileContents(trash / "info/Plinka.app.trashinfo").find("Path=" + old + "\n"),
              std::string::npos);
    EXPECT_EQ(
        DesktopEntry::execProgram(DesktopEntry::readMainGroup(fileContents(autostart))["Exec"]),
        moved + "/Contents/MacOS/Plinka");

    // Relaunched from there (pgrep fails until it is).
    const auto relaunched = [&] {
        return output("pgrep -f '^" + moved + "/Contents/MacOS/Plinka'");
    };
    ASSERT_TRUE(eventually([&] { return relaunched().has_value(); }));
    const pid_t pid = std::stoi(*relaunched());
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(eventually([&] { return !running(pid); }));
}

// The session ending under the crash reports' alert (SIGTERM, as at logout) answers nothing:
// the reports are offered again next time, and the move offer after it neither shows nor moves.
TEST_F(MoveOfferTest, AnEndUnderTheLaunchsAlertsAnswersNoneOfThem) {
    PlinkaSession session(display());
    session.placeBundleIn(session.home() + "/Downloads");
    fs::create_directories(session.home() + "/Applications");
    session.offerTheMove();
    const std::string report = session.home() + "/state/Plinka/crashes/Plinka_1.crash";
    writeFile(report, "Signal: 11 (SIGSEGV)\n");
    auto plinka = session.start();
    ASSERT_TRUE(eventually([&] { return !windowsNamed("^Plinka quit unexpectedly").empty(); }))
        << plinka->output();
    ::kill(plinka->pid(), SIGTERM);
    EXPECT_EQ(plinka->waitForExit(), 0) << plinka->output();
    EXPECT_TRUE(fs::exists(report));
    EXPECT_TRUE(fs::exists(session.bundle()));
    EXPECT_FALSE(fs::exists(session.home() + "/Applications/Plinka.app"));
}

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
    EXPECT_EQ(plinka->output().find("Plinka Error"), std::string::npos) << plinka->output();
}

}  // namespace
}  // namespace plinka::testing
