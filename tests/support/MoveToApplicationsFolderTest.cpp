// The move offer's decisions through doubles: when it offers, what the alert says, what each
// answer stores, and the plain and authorized moves. The commands themselves are the platform
// layer's (tests/install).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakeAliasFiles.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakeInstallation.h"
#include "doubles/FakePlatform.h"
#include "support/MoveToApplicationsFolder.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kMoving = "INFO -- Moving myself to the Applications folder";
constexpr const char* kFailureTitle = "Could not move to Applications folder";
constexpr const char* kHomeTitle = "Move to Applications folder in your Home folder?";

// What one launch of the offer did: returned (and what), or ended the process.
struct Outcome {
    bool returned = false;
    bool result = false;
    int exitStatus = -1;
};

// A home with an Applications and a Downloads folder, and a local Applications folder ("opt"),
// in a scratch directory; the bundle runs from the Downloads folder and the offer is declined.
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
        desktop.alerts.answer = NSAlertAlternateReturn;
    }

    std::string home() const { return scratch.file("home"); }
    std::string local() const { return scratch.file("opt"); }
    std::string userDestination() const { return home() + "/Applications/Plinka.app"; }
    // The home has no Applications folder and the local one is not writable.
    void needAuthorization() {
        fs::remove(home() + "/Applications");
        files.readOnly.insert(local());
    }
    Outcome offer() {
        Outcome outcome;
        try {
            outcome.result = offerMoveToApplicationsFolder(services);
            outcome.returned = true;
        } catch (const FakeInstallation::ProcessEnded& ended) {
            outcome.exitStatus = ended.status;
        }
        return outcome;
    }
    std::string lastTitle() const { return desktop.alerts.shown.back().messageText; }

    ScratchDirectory scratch;
    FakePlatform fake;
    FakeDesktop desktop{fake.platform};
    FakeFileManager files;
    FakeInstallation installation;
    FakePrivilegedExecution authorization;
    FakeAliasFiles aliases;
    MoveToApplicationsFolderServices services{desktop.defaults,
                                              fake.bundle,
                                              desktop.alerts,
                                              desktop.application,
                                              files,
                                              installation,
                                              authorization,
                                              desktop.commands,
                                              aliases,
                                              fake.log};
};

TEST(MoveToApplicationsFolderTest, OffersOnlyOutsideTheApplicationsFoldersAndWhereItCanClearUp) {
    struct Case {
        std::string bundle;  // "~" is the world's home, "@" its local Applications folder
        bool writable;
        bool offers;
    };
    const Case cases[] = {
        {"~/Downloads/Plinka.app", true, true},
        {"~/Applications/Plinka.app", true, false},
        {"@/Plinka.app", true, false},
        {"@2/Plinka.app", true, false},  // only begins like one
        {"/Volumes/Disk/Applications/Tools/Plinka.app", true, false},
        {"~/MyApplications/Plinka.app", true, true},
        {"~/Downloads/Plinka.app", false, false},  // cannot be cleared up afterwards
        {"/Volumes/Plinka/Plinka.app", false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.bundle);
        MoveWorld world;
        const std::string prefix = test.bundle[0] == '~'   ? world.home()
                                   : test.bundle[0] == '@' ? world.local()
                                                           : std::string(1, test.bundle[0]);
        world.fake.bundle.path = prefix + test.bundle.substr(1);
        if (!test.writable) {
            world.files.readOnly.insert(world.fake.bundle.path);
        }
        const Outcome outcome = world.offer();
        EXPECT_TRUE(outcome.returned);
        EXPECT_EQ(outcome.result, test.offers);
        EXPECT_EQ(world.desktop.alerts.shown.size(), test.offers ? 1u : 0u);
    }
    MoveWorld suppressed;
    suppressed.desktop.defaults.setBool(true, kMoveAlertSuppressKey);
    EXPECT_FALSE(suppressed.offer().result);
}

TEST(MoveToApplicationsFolderTest, TheAlertNamesTheFolderAndAddsAtMostOneNote) {
    const std::string admin = "Note that this will require an administrator password.";
    const std::string downloads = "This will keep your Downloads folder uncluttered.";
    struct Case {
        double level;
        bool homeFolder;  // the user's Applications folder exists
        bool localWritable;
        std::string bundle;  // below the world's home
        std::string title, note;
        bool suppressionBox;
    };
    const Case cases[] = {
        {1038, true, true, "Downloads/Plinka.app", kHomeTitle, downloads, true},
        {1038, true, true, "Desktop/Plinka.app", kHomeTitle, "", true},
        {1038, false, true, "Downloads/Plinka.app", "Move to Applications folder?", downloads,
         true},
        {1038, false, false, "Downloads/Plinka.app", "Move to Applications folder?", admin, true},
        // An old toolkit goes by the parent's name, a new one by the Downloads folder.
        {824, true, true, "Other/Downloads/Plinka.app", kHomeTitle, downloads, false},
        {949, true, true, "Other/Downloads/Plinka.app", kHomeTitle, "", true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.bundle + " at " + std::to_string(test.level));
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        if (!test.homeFolder) {
            fs::remove(world.home() + "/Applications");
        }
        if (!test.localWritable) {
            world.files.readOnly.insert(world.local());
        }
        world.fake.bundle.path = world.home() + "/" + test.bundle;
        world.offer();
        ASSERT_EQ(world.desktop.alerts.shown.size(), 1u);
        const Alert& alert = world.desktop.alerts.shown[0];
        EXPECT_EQ(alert.messageText, test.title);
        EXPECT_TRUE(alert.informativeText.ends_with("if you'd like." +
                                                    (test.note.empty() ? "" : " " + test.note)))
            << alert.informativeText;
        EXPECT_EQ(alert.showsSuppressionButton, test.suppressionBox);
        EXPECT_THAT(world.desktop.journal.entries(),
                    ElementsAre("activate", "alert: " + test.title));
    }
    // The texts come from the offer's own strings table.
    MoveWorld translated;
    translated.fake.bundle.translations[{"MoveApplication", kHomeTitle}] = "Verschieben?";
    translated.fake.bundle.translations[{"Localizable", "Do Not Move"}] = "not this table";
    translated.offer();
    EXPECT_EQ(translated.lastTitle(), "Verschieben?");
    EXPECT_EQ(translated.desktop.alerts.shown[0].alternateButton, "Do Not Move");
}

TEST(MoveToApplicationsFolderTest, DecliningStoresTheSuppressionAsTheBoxSays) {
    struct Case {
        double level;
        bool boxChecked;
        bool suppressed;
    };
    const Case cases[] = {{1038, false, false}, {1038, true, true}, {824, false, true}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.level);
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        world.desktop.alerts.suppressionAnswer = test.boxChecked;
        const Outcome first = world.offer();
        EXPECT_TRUE(first.returned && first.result);
        EXPECT_EQ(world.desktop.defaults.boolForKey(kMoveAlertSuppressKey), test.suppressed);
        EXPECT_THAT(world.files.copies, IsEmpty());
        world.offer();  // the next launch asks again unless suppressed
        EXPECT_EQ(world.desktop.alerts.shown.size(), test.suppressed ? 1u : 2u);
    }
}

// The new copy is started after this process has ended, with the quarantine cleared as the
// toolkit allows; a disk image is detached afterwards instead of trashed.
TEST(MoveToApplicationsFolderTest, APlainMoveCopiesTrashesTheOldCopyAndRelaunches) {
    struct Case {
        double level;
        bool fromDiskImage;
        std::vector<std::string> started;  // "%" is the destination
    };
    const Case cases[] = {
        {950.9, false, {"after 4242: unquarantine all %;open %"}},
        {949.9, false, {"after 4242: unquarantine %;open %"}},
        {825, false, {"after 4242: unquarantine %;open %"}},
        {1038, true, {"after 4242: unquarantine all %;open %", "detach /Volumes/Plinka 1.0"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.level);
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        world.desktop.alerts.answer = NSAlertDefaultReturn;
        if (test.fromDiskImage) {
            world.fake.bundle.path = "/Volumes/Plinka 1.0/Plinka.app";
            world.files.readOnly.insert(world.fake.bundle.path);
        }
        const std::string bundle = world.fake.bundle.path;
        const std::string destination = world.userDestination();
        EXPECT_EQ(world.offer().exitStatus, 0);
        EXPECT_THAT(world.files.copies, ElementsAre(std::pair(bundle, destination)));
        EXPECT_EQ(world.files.trashed,
                  test.fromDiskImage ? std::vector<std::string>{} : std::vector{bundle});
        EXPECT_THAT(world.installation.moves, ElementsAre(std::pair(bundle, destination)));
        std::vector<std::string> started = test.started;
        for (std::string& command : started) {
            for (size_t at; (at = command.find('%')) != std::string::npos;) {
                command.replace(at, 1, destination);
            }
        }
        EXPECT_EQ(world.desktop.commands.started, started);
        EXPECT_THAT(world.fake.log.lines(), ElementsAre(kMoving));
    }
    // Below the level that copies, nothing is copied and the failure is shown.
    MoveWorld old;
    old.installation.appKitLevel = 824.9;
    old.desktop.alerts.answer = NSAlertDefaultReturn;
    EXPECT_TRUE(old.offer().returned);
    EXPECT_THAT(old.files.copies, IsEmpty());
    EXPECT_EQ(old.lastTitle(), kFailureTitle);
}

TEST(MoveToApplicationsFolderTest, ACopyAlreadyAtTheDestinationIsSwitchedToOrReplaced) {
    struct Case {
        bool running, trashFails;
        std::string copyError;
        int exitStatus;  // -1: the application stays
        std::vector<std::string>
            log;  // after the moving line; "%D" the destination, "%B" the bundle
    };
    const Case cases[] = {
        {true, false, "", 0, {"INFO -- Switching to an already running version"}},
        {false, false, "", 0, {}},
        {false, true, "", -1, {"ERROR -- Could not trash '%D'"}},
        {false,
         false,
         "No space left on device",
         -1,
         {"ERROR -- Could not copy '%B' to '%D' (No space left on device)",
          "ERROR -- Could not copy myself to %D"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.log.empty() ? "replaced" : test.log[0]);
        MoveWorld world;
        world.desktop.alerts.answer = NSAlertDefaultReturn;
        const std::string bundle = world.fake.bundle.path;
        const std::string destination = world.userDestination();
        fs::create_directories(destination);
        world.installation.copyRunning = test.running;
        world.files.trashFails = test.trashFails;
        world.files.copyError = test.copyError;
        const Outcome outcome = world.offer();
        EXPECT_EQ(outcome.exitStatus, test.exitStatus);
        std::vector<std::string> expected{kMoving};
        for (std::string line : test.log) {
            for (const auto& [mark, path] :
                 {std::pair<std::string, std::string>{"%D", destination}, {"%B", bundle}}) {
                for (size_t at; (at = line.find(mark)) != std::string::npos;) {
                    line.replace(at, mark.size(), path);
                }
            }
            expected.push_back(line);
        }
        EXPECT_EQ(world.fake.log.lines(), expected);
        EXPECT_EQ(world.desktop.commands.commands,
                  test.running ? std::vector{"open " + destination} : std::vector<std::string>{});
        if (test.exitStatus == -1) {
            EXPECT_EQ(world.lastTitle(), kFailureTitle);
            EXPECT_THAT(world.desktop.commands.started, IsEmpty());
        } else if (!test.running) {
            EXPECT_THAT(world.files.trashed, ElementsAre(destination, bundle));
        }
    }
    // An old copy that cannot go to the Trash after the move only warns.
    MoveWorld world;
    world.desktop.alerts.answer = NSAlertDefaultReturn;
    world.files.trashFails = true;
    EXPECT_EQ(world.offer().exitStatus, 0);
    EXPECT_EQ(world.fake.log.lines().back(),
              "WARNING -- Could not delete application after moving it to Applications folder");
}

TEST(MoveToApplicationsFolderTest, TheHomeFolderIsTakenThroughItsLinks) {
    MoveWorld world;
    world.desktop.alerts.answer = NSAlertDefaultReturn;
    const std::string real = world.scratch.file("elsewhere/Apps");
    fs::remove(world.home() + "/Applications");
    fs::create_directories(real);
    fs::create_directory_symlink(real, world.home() + "/Applications");
    world.offer();
    ASSERT_EQ(world.files.copies.size(), 1u);
    EXPECT_EQ(world.files.copies[0].second, real + "/Plinka.app");
    EXPECT_EQ(world.desktop.alerts.shown.at(0).messageText, kHomeTitle);
}

TEST(MoveToApplicationsFolderTest, TheAuthorizedMoveChecksEachStep) {
    constexpr int kExitedWith1 = 1 << 8;
    constexpr int kKilled = 9;
    struct Case {
        OSStatus status;
        std::vector<int> statuses;  // of the removal and the copy
        bool moves;
        bool failureAlert;
    };
    const Case cases[] = {
        {errAuthorizationSuccess, {0, 0}, true, false},
        {errAuthorizationSuccess, {kExitedWith1, 0}, true, false},  // the removal's code is moot
        {errAuthorizationCanceled, {}, false, false},
        {errAuthorizationDenied, {}, false, true},
        {errAuthorizationSuccess, {kKilled}, false, true},
        {errAuthorizationSuccess, {-1, 0}, false, true},
        {errAuthorizationSuccess, {0, kExitedWith1}, false, true},
        {errAuthorizationSuccess, {0, kKilled}, false, true},
        {errAuthorizationSuccess, {0}, false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::PrintToString(test.statuses) + " " + std::to_string(test.status));
        MoveWorld world;
        world.desktop.alerts.answer = NSAlertDefaultReturn;
        world.needAuthorization();
        world.authorization.status = test.status;
        world.authorization.statuses = test.statuses;
        const std::string bundle = world.fake.bundle.path;
        const std::string destination = world.local() + "/Plinka.app";
        const Outcome outcome = world.offer();
        using Command = PrivilegedExecution::Command;
        EXPECT_THAT(world.authorization.commands,
                    ElementsAre(Command{"/bin/rm", "-rf", destination},
                                Command{"/bin/cp", "-pR", bundle, destination}));
        EXPECT_EQ(outcome.exitStatus, test.moves ? 0 : -1);
        EXPECT_EQ(world.files.trashed.size(), test.moves ? 1u : 0u);
        EXPECT_EQ(world.lastTitle(),
                  test.failureAlert ? kFailureTitle : "Move to Applications folder?");
        EXPECT_EQ(world.fake.log.lines().back(),
                  test.status == errAuthorizationCanceled
                      ? "INFO -- Not moving because user canceled authorization"
                  : test.failureAlert
                      ? "ERROR -- Could not copy myself to /Applications with authorization"
                      : kMoving);
    }
    // A destination that is no bundle is never handed to the root shell.
    MoveWorld world;
    world.desktop.alerts.answer = NSAlertDefaultReturn;
    world.needAuthorization();
    world.fake.bundle.path = world.home() + "/Downloads/Plinka";
    EXPECT_TRUE(world.offer().returned);
    EXPECT_THAT(world.authorization.commands, IsEmpty());
    EXPECT_EQ(world.lastTitle(), kFailureTitle);
}

}  // namespace
}  // namespace plinka::testing
