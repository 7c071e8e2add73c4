// The move offer's decisions through doubles: when it offers, what it stores, and the plain and
// authorized moves. The platform's commands and file work are tested in tests/install.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakeInstallation.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/system/NoAliasFiles.h"
#include "support/MoveToApplicationsFolder.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

constexpr const char* kFailureTitle = "Could not move to Applications folder";

// A home with an Applications and a Downloads folder and a local Applications folder ("opt"), in
// a scratch directory; the bundle runs from the Downloads folder and the offer is accepted.
class MoveWorld {
  public:
    MoveWorld() {
        fs::create_directories(home() + "/Applications");
        fs::create_directories(local());
        fake.bundle.path = home() + "/Downloads/Plinka.app";
        installation.folders[SearchPathDirectory::Applications] = {
            {NSUserDomainMask, home() + "/Applications"}, {NSLocalDomainMask, local()}};
        installation.folders[SearchPathDirectory::Downloads] = {
            {NSUserDomainMask, home() + "/Downloads"}};
        desktop.alerts.suppressionAnswer = false;
    }
    std::string home() const { return scratch.file("home"); }
    std::string local() const { return scratch.file("opt"); }
    // Answers the exit status, or -1 when the application stays.
    int offer() {
        try {
            offerMoveToApplicationsFolder(services);
            return -1;
        } catch (const FakeInstallation::ProcessEnded& ended) {
            return ended.status;
        }
    }
    std::string lastTitle() const {
        return desktop.alerts.shown.empty() ? "" : desktop.alerts.shown.back().messageText;
    }

    ScratchDirectory scratch;
    FakePlatform fake;
    FakeDesktop desktop{fake.platform};
    FakeInstallation installation;
    FakePrivilegedExecution authorization;
    NoAliasFiles aliases;
    MoveToApplicationsFolderServices services{
        desktop.defaults, fake.bundle,  desktop.alerts, desktop.application,
        desktop.files,    installation, authorization,  desktop.commands,
        aliases,          fake.log};
};

// Inside an Applications folder, or where the old copy could not be cleared up, nothing is
// offered; elsewhere the title names the folder and at most one note is added.
TEST(MoveToApplicationsFolderTest, OffersOnlyWhereItShouldAndSaysWhereTo) {
    struct Case {
        std::string bundle;  // "~" is the world's home, "@" its local Applications folder
        bool writable, homeFolder;
        std::string title, note;  // no title: no offer
    };
    const std::string home = "Move to Applications folder in your Home folder?";
    const Case cases[] = {
        {"~/Downloads/Plinka.app", true, true, home, "uncluttered."},
        {"~/Desktop/Plinka.app", true, true, home, "if you'd like."},
        {"~/Downloads/Plinka.app", true, false, "Move to Applications folder?", "uncluttered."},
        {"~/MyApplications/Plinka.app", true, true, home, "if you'd like."},
        {"/Volumes/Plinka/Plinka.app", false, true, home, "if you'd like."},
        {"~/Applications/Plinka.app", true, true, "", ""},
        {"@/Plinka.app", true, true, "", ""},
        {"/Volumes/Disk/Applications/Tools/Plinka.app", true, true, "", ""},
        {"~/Downloads/Plinka.app", false, true, "", ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.bundle);
        MoveWorld world;
        world.desktop.alerts.answer = NSAlertAlternateReturn;
        const std::string prefix = test.bundle[0] == '~'   ? world.home()
                                   : test.bundle[0] == '@' ? world.local()
                                                           : std::string("/");
        world.fake.bundle.path = prefix + test.bundle.substr(1);
        if (!test.writable) {
            world.desktop.files.readOnly.insert(world.fake.bundle.path);
        }
        if (!test.homeFolder) {
            fs::remove(world.home() + "/Applications");
        }
        EXPECT_EQ(world.offer(), -1);
        EXPECT_EQ(world.lastTitle(), test.title);
        if (!test.title.empty()) {
            EXPECT_TRUE(world.desktop.alerts.shown[0].informativeText.ends_with(test.note));
        }
    }
}

// Declined with the box left clear it is offered again; with the box checked, never again.
TEST(MoveToApplicationsFolderTest, DecliningStoresTheSuppressionAsTheBoxSays) {
    MoveWorld world;
    world.desktop.alerts.answer = NSAlertAlternateReturn;
    world.offer();
    world.desktop.alerts.suppressionAnswer = true;
    world.offer();
    world.offer();
    EXPECT_EQ(world.desktop.alerts.shown.size(), 2u);
    EXPECT_TRUE(world.desktop.files.copies.empty());
}

// A copy already there is switched to when it runs, else replaced; a failed step shows the
// failure and the application stays.
TEST(MoveToApplicationsFolderTest, ACopyAlreadyThereIsSwitchedToOrReplacedAndFailuresAreShown) {
    struct Case {
        bool running, trashFails;
        std::string copyError;
        int exitStatus;
        size_t trashed;
    };
    const Case cases[] = {
        {true, false, "", 0, 0},
        {false, false, "", 0, 2},
        {false, true, "", -1, 1},
        {false, false, "No space left on device", -1, 1},
    };
    for (const Case& test : cases) {
        MoveWorld world;
        const std::string destination = world.home() + "/Applications/Plinka.app";
        fs::create_directories(destination);
        world.installation.copyRunning = test.running;
        world.desktop.files.trashFails = test.trashFails;
        world.desktop.files.copyError = test.copyError;
        EXPECT_EQ(world.offer(), test.exitStatus);
        EXPECT_EQ(world.desktop.files.trashed.size(), test.trashed);
        EXPECT_EQ(world.desktop.commands.commands,
                  test.running ? std::vector{"open " + destination} : std::vector<std::string>{});
        EXPECT_EQ(world.lastTitle() == kFailureTitle, test.exitStatus == -1);
    }
}

TEST(MoveToApplicationsFolderTest, TheAuthorizedMoveChecksEachStep) {
    constexpr int kExitedWith1 = 1 << 8;
    constexpr int kKilled = 9;
    struct Case {
        OSStatus status;
        std::vector<int> statuses;  // of the removal and the copy
        bool moves, failureShown;
    };
    const Case cases[] = {
        {errAuthorizationSuccess, {0, 0}, true, false},
        {errAuthorizationSuccess, {kExitedWith1, 0}, true, false},  // the removal's code is moot
        {errAuthorizationCanceled, {}, false, false},
        {errAuthorizationDenied, {}, false, true},
        {errAuthorizationSuccess, {kKilled}, false, true},
        {errAuthorizationSuccess, {0, kExitedWith1}, false, true},
        {errAuthorizationSuccess, {0, kKilled}, false, true},
        {errAuthorizationSuccess, {0}, false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::PrintToString(test.statuses) + " " + std::to_string(test.status));
        MoveWorld world;
        fs::remove(world.home() + "/Applications");
        world.desktop.files.readOnly.insert(world.local());
        world.authorization.status = test.status;
        world.authorization.statuses = test.statuses;
        const std::string destination = world.local() + "/Plinka.app";
        EXPECT_EQ(world.offer(), test.moves ? 0 : -1);
        using Command = PrivilegedExecution::Command;
        EXPECT_THAT(world.authorization.commands,
                    ElementsAre(Command{"/bin/rm", "-rf", destination},
                                Command{"/bin/cp", "-pR", world.fake.bundle.path, destination}));
        EXPECT_EQ(world.lastTitle() == kFailureTitle, test.failureShown);
        // The log names the folder the copy was meant for, whatever the platform calls it.
        const std::string failed =
            "ERROR -- Could not copy myself to " + world.local() + " with authorization";
        const auto lines = world.fake.log.lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), failed), test.failureShown ? 1 : 0);
    }
}

}  // namespace
}  // namespace plinka::testing
