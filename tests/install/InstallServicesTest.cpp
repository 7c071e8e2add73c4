// The move's Linux layer on the real file system and with real shells: the applications folders
// and the installed layout, the running-copy test from /proc, the detach command run for real
// (mount tables included), desktop entries, and pkexec (a stand-in on PATH). The copy, the
// Trash and the relaunch are the desktop test's (tests/desktop/LaunchAlertsTest, MoveOfferTest).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "Eventually.h"
#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "platform/linux/install/LinuxApplicationInstallation.h"
#include "platform/linux/install/PkexecPrivilegedExecution.h"
#include "platform/linux/system/DesktopEntry.h"
#include "platform/linux/system/PosixCommandRunner.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// A folder name with every character the shell commands must survive.
constexpr const char* kAwkwardName = "it's a $HOME `id` folder";

// A bundle whose executable is the shell script.
std::string makeBundle(const fs::path& folder, const std::string& script) {
    const fs::path bundle = folder / "Plinka.app";
    writeProgram(bundle / "Contents/MacOS/Plinka", "#!/bin/sh\n" + script);
    return bundle.string();
}

LinuxApplicationInstallation::Places placesIn(const ScratchDirectory& scratch,
                                              const std::string& bundle) {
    return {.home = scratch.file("home"),
            .downloads = scratch.file("home/Downloads"),
            .bundlePath = bundle,
            .executableName = "Plinka",
            .desktopEntryFolders = {scratch.file("home/.local/share/applications"),
                                    scratch.file("home/.config/autostart")}};
}

TEST(InstallServicesTest, TheFoldersAreTheDesktopsAndAnInstallerPlacedBundleIsInOne) {
    ScratchDirectory scratch;
    const fs::path prefix = scratch.file("prefix");
    const std::string bundle = makeBundle(prefix / "lib/plinka", "");
    const std::string home = scratch.file("home/Applications");
    const auto applications = [&](SearchPathDomainMask domains) {
        return LinuxApplicationInstallation(placesIn(scratch, bundle))
            .searchPathForDirectoriesInDomains(SearchPathDirectory::Applications, domains);
    };
    EXPECT_THAT(applications(NSAllDomainsMask), ElementsAre(home, "/opt"));

    // The layout `cmake --install` makes: <prefix>/bin/plinka, a relative link into the bundle.
    fs::create_directories(prefix / "bin");
    fs::create_symlink("../lib/plinka/Plinka.app/Contents/MacOS/Plinka", prefix / "bin/plinka");
    EXPECT_THAT(applications(NSAllDomainsMask),
                ElementsAre(home, "/opt", (prefix / "lib/plinka").string()));
    EXPECT_THAT(applications(NSUserDomainMask), ElementsAre(home));
}

TEST(InstallServicesTest, ARunningCopyIsFoundByItsExecutable) {
    ScratchDirectory scratch;
    const std::string bundle = makeBundle(scratch.file(kAwkwardName), "exec sleep 30\n");
    const std::string other = makeBundle(scratch.file("other"), "");
    LinuxApplicationInstallation installation(placesIn(scratch, other));
    EXPECT_FALSE(installation.isApplicationRunningFromBundle(bundle));
    // The script's shell execs sleep: a copy of sleep inside the bundle keeps the executable.
    fs::copy_file("/bin/sleep", bundle + "/Contents/MacOS/sleeper");
    ChildProcess copy(bundle + "/Contents/MacOS/sleeper", {.arguments = {"30"}});
    EXPECT_TRUE(eventually([&] { return installation.isApplicationRunningFromBundle(bundle); }));
    EXPECT_FALSE(installation.isApplicationRunningFromBundle(other));
    // A bundle whose path merely begins like the running one's.
    EXPECT_FALSE(installation.isApplicationRunningFromBundle(bundle.substr(0, bundle.size() - 1)));
}

TEST(InstallServicesTest, TheDetachUnmountsTheMediumWithTheFirstToolThatWorks) {
    ScratchDirectory scratch;
    const std::string mountPoint = scratch.file(std::string("media/") + kAwkwardName);
    fs::create_directories(mountPoint + "/apps");
    LinuxApplicationInstallation::Places places =
        placesIn(scratch, mountPoint + "/apps/Plinka.app");
    std::string escaped;
    for (const char c : mountPoint) {
        escaped += c == ' ' ? std::string("\\040") : std::string(1, c);
    }
    places.mountInfo = scratch.file("mountinfo");
    writeFile(places.mountInfo,
              "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
              "40 22 8:17 / " +
                  escaped + " rw - vfat /dev/sdb1 rw\n");
    LinuxApplicationInstallation installation(places);

    // Stand-ins: sleep returns at once, gio fails, udisksctl records what it was asked.
    const std::string bin = scratch.file("bin");
    const std::string record = scratch.file("unmounted");
    writeProgram(bin + "/sleep", "#!/bin/sh\nexit 0\n");
    writeProgram(bin + "/gio", "#!/bin/sh\nexit 2\n");
    writeProgram(bin + "/udisksctl", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + record + "'\n");
    const ScopedEnvironment path("PATH", bin + ":/usr/bin:/bin");
    PosixCommandRunner commands;
    ASSERT_TRUE(commands.startShellCommand(installation.detachCommand(mountPoint + "/apps")));
    ASSERT_TRUE(eventually([&] { return !fileContents(record).empty(); }));
    EXPECT_EQ(fileContents(record), "unmount|--no-user-interaction|-b|/dev/sdb1|");
}

TEST(InstallServicesTest, EntriesInTheApplicationsAndAutostartFoldersFollowTheMove) {
    ScratchDirectory scratch;
    const std::string from = scratch.file("home/Downloads/Plinka.app");
    const std::string to = scratch.file(std::string(kAwkwardName) + "/Plinka.app");
    LinuxApplicationInstallation installation(placesIn(scratch, from));
    const fs::path menu = scratch.file("home/.local/share/applications/plinka.desktop");
    const fs::path login = scratch.file("home/.config/autostart/plinka.desktop");
    const fs::path unrelated = scratch.file("home/.config/autostart/other.desktop");
    // Only the main group's program, TryExec and Icon follow; a path that merely begins like
    // the bundle's and the other groups stay.
    const std::string entry = "[Desktop Entry]\nExec=\"" + from +
                              "/Contents/MacOS/Plinka\" --preferences %U\nTryExec=" + from +
                              "/Contents/MacOS/Plinka\nIcon=" + from +
                              "/Contents/Resources/P.png\n" + "Path=" + from +
                              "2\n[Desktop Action Other]\nExec=" + from + "/x\n";
    const std::string other = "[Desktop Entry]\nExec=/usr/bin/other\n";
    writeFile(menu, entry);
    writeFile(login, entry);
    writeFile(unrelated, other);

    installation.applicationMoved(from, to);
    for (const fs::path& moved : {menu, login}) {
        const std::string text = fileContents(moved);
        const auto keys = DesktopEntry::readMainGroup(text);
        EXPECT_THAT(DesktopEntry::execArguments(keys.at("Exec")),
                    ElementsAre(to + "/Contents/MacOS/Plinka", "--preferences", "%U"));
        EXPECT_EQ(keys.at("TryExec"), to + "/Contents/MacOS/Plinka");
        EXPECT_EQ(keys.at("Icon"), to + "/Contents/Resources/P.png");
        EXPECT_EQ(keys.at("Path"), from + "2");
        EXPECT_TRUE(text.ends_with("[Desktop Action Other]\nExec=" + from + "/x\n"));
    }
    EXPECT_EQ(fileContents(unrelated), other);
}

TEST(InstallServicesTest, PkexecRunsTheStepsInOneAuthorizationAndItsDismissalIsTheCancel) {
    ScratchDirectory scratch;
    const std::string bin = scratch.file("bin");
    const ScopedEnvironment path("PATH", bin + ":/usr/bin:/bin");
    // The stand-in answers as pkexec does: the program with its arguments, or 126 when dismissed.
    const auto pkexec = [&](const std::string& body) {
        writeProgram(bin + "/pkexec", "#!/bin/sh\n" + body);
    };
    PosixCommandRunner commands;
    PkexecPrivilegedExecution authorization(commands);
    const std::string source = makeBundle(scratch.file(kAwkwardName), "");
    const std::string destination = scratch.file("opt it's/Plinka.app");
    fs::create_directories(destination + "/old");
    const std::vector<PrivilegedExecution::Command> move{{"/bin/rm", "-rf", destination},
                                                         {"/bin/cp", "-pR", source, destination}};

    pkexec("exec \"$@\"\n");
    std::vector<int> statuses;
    ASSERT_EQ(authorization.executeWithPrivileges(move, &statuses), errAuthorizationSuccess);
    EXPECT_THAT(statuses, ElementsAre(0, 0));
    EXPECT_TRUE(fs::exists(destination + "/Contents/MacOS/Plinka"));
    EXPECT_FALSE(fs::exists(destination + "/old"));

    statuses.clear();
    // Past 128 + the highest signal, a status is the command's own.
    ASSERT_EQ(authorization.executeWithPrivileges({{"/bin/sh", "-c", "exit 3"},
                                                   {"/bin/sh", "-c", "exit 200"},
                                                   {"/bin/sh", "-c", "kill -9 $$"},
                                                   {"/bin/true"}},
                                                  &statuses),
              errAuthorizationSuccess);
    EXPECT_THAT(statuses, ElementsAre(3 << 8, 200 << 8, 9));

    pkexec("exit 126\n");
    EXPECT_EQ(authorization.executeWithPrivileges(move, &statuses), errAuthorizationCanceled);
    pkexec("echo 'Error executing command as another user: Not authorized' >&2; exit 127\n");
    EXPECT_EQ(authorization.executeWithPrivileges(move, &statuses), errAuthorizationDenied);
}

}  // namespace
}  // namespace plinka::testing
