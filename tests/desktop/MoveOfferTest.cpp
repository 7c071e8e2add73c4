// The move offer in the real application on the real file system: a copy unpacked into
// ~/Downloads offers to move itself at launch; the default button leaves it in ~/Applications,
// the old copy in the freedesktop Trash, and the new copy running. A screenshot of the offer is
// kept in the build tree (artifacts/move-offer.png).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"
#include "platform/linux/process/ReopenChannel.h"
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
    EXPECT_FALSE(
        fs::exists(reopenSocketPath(session.runtimeDirectory() + "/plinka", plinka->pid())));
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

}  // namespace
}  // namespace plinka::testing
