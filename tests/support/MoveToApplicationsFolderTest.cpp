// The move offer through doubles that answer as the macOS layer would: when it offers, what the
// alert says, what each answer stores, and the plain and authorized moves with every command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "ScratchDirectory.h"
#include "base/ShellQuoting.h"
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

// What one launch of the offer did.
struct Outcome {
    bool returned = false;
    bool result = false;
    int exitStatus = -1;
};

// A home with an Applications and a Downloads folder, and a local Applications folder ("opt"),
// in a scratch directory; the bundle runs from the Downloads folder.
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
    std::string userDestination() const { return home() + "/Applications/Plinka.app"; }
    std::string localDestination() const { return local() + "/Plinka.app"; }
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
    std::vector<std::string> alertTitles() const {
        std::vector<std::string> titles;
        for (const Alert& alert : desktop.alerts.shown) {
            titles.push_back(alert.messageText);
        }
        return titles;
    }
    Object storedSuppression() const {
        const auto& stored = desktop.defaults.storedValues();
        const auto found = stored.find(kMoveAlertSuppressKey);
        return found == stored.end() ? Object() : found->second;
    }

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
        const char* what;
        std::string bundle;  // "~" is the world's home, "@" its local Applications folder
        bool writable;
        bool offers;
    };
    const Case cases[] = {
        {"downloads", "~/Downloads/Plinka.app", true, true},
        {"the user's Applications folder", "~/Applications/Plinka.app", true, false},
        {"a local Applications folder", "@/Plinka.app", true, false},
        {"a folder whose name only begins like one", "@2/Plinka.app", true, false},
        {"an Applications component anywhere", "/Volumes/Disk/Applications/Tools/Plinka.app", true,
         false},
        {"a component that only contains the word", "~/MyApplications/Plinka.app", true, true},
        {"a read-only copy outside the volumes", "~/Downloads/Plinka.app", false, false},
        {"a read-only disk image", "/Volumes/Plinka/Plinka.app", false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        MoveWorld world;
        std::string bundle = test.bundle;
        if (bundle[0] == '~') {
            bundle = world.home() + bundle.substr(1);
        } else if (bundle[0] == '@') {
            bundle = world.local() + bundle.substr(1);
        }
        world.fake.bundle.path = bundle;
        if (!test.writable) {
            world.files.readOnly.insert(bundle);
        }
        world.desktop.alerts.answer = NSAlertAlternateReturn;
        const Outcome outcome = world.offer();
        EXPECT_TRUE(outcome.returned);
        EXPECT_EQ(outcome.result, test.offers);
        EXPECT_EQ(world.desktop.alerts.shown.size(), test.offers ? 1u : 0u);
        const bool noAccess = !test.writable && !test.offers;
        EXPECT_EQ(world.fake.log.lines(),
                  noAccess ? std::vector<std::string>{"INFO -- No access to delete the app. Not "
                                                      "offering to move it."}
                           : std::vector<std::string>{});
    }
}

TEST(MoveToApplicationsFolderTest, NeverOffersOnceSuppressed) {
    MoveWorld world;
    world.desktop.defaults.setBool(true, kMoveAlertSuppressKey);
    const Outcome outcome = world.offer();
    EXPECT_TRUE(outcome.returned);
    EXPECT_FALSE(outcome.result);
    EXPECT_THAT(world.desktop.alerts.shown, IsEmpty());
}

TEST(MoveToApplicationsFolderTest, TheAlertNamesTheFolderAndAddsAtMostOneNote) {
    const std::string intro = "Plinka can move itself to the Applications folder if you'd like.";
    const std::string admin = " Note that this will require an administrator password.";
    const std::string downloads = " This will keep your Downloads folder uncluttered.";
    const std::string inHome = "Move to Applications folder in your Home folder?";
    const std::string plain = "Move to Applications folder?";
    struct Case {
        const char* what;
        double level;
        bool homeFolder;  // the user's Applications folder exists
        bool localWritable;
        std::string bundle;  // below the world's home
        std::string message, informative;
        bool suppressionBox;
    };
    const Case cases[] = {
        {"home folder, from downloads", 1038, true, true, "Downloads/Plinka.app", inHome,
         intro + downloads, true},
        {"home folder, from elsewhere", 1038, true, true, "Desktop/Plinka.app", inHome, intro,
         true},
        {"local folder, writable", 1038, false, true, "Downloads/Plinka.app", plain,
         intro + downloads, true},
        {"local folder, needs a password", 1038, false, false, "Downloads/Plinka.app", plain,
         intro + admin, true},
        {"old toolkit: a parent named Downloads", 824, true, true, "Other/Downloads/Plinka.app",
         inHome, intro + downloads, false},
        {"new toolkit: the downloads folder, not the name", 949, true, true,
         "Other/Downloads/Plinka.app", inHome, intro, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        if (!test.homeFolder) {
            fs::remove(world.home() + "/Applications");
        }
        if (!test.localWritable) {
            world.files.readOnly.insert(world.local());
        }
        world.fake.bundle.path = world.home() + "/" + test.bundle;
        world.desktop.alerts.answer = NSAlertAlternateReturn;
        world.offer();
        ASSERT_EQ(world.desktop.alerts.shown.size(), 1u);
        const Alert& alert = world.desktop.alerts.shown[0];
        EXPECT_EQ(alert.messageText, test.message);
        EXPECT_EQ(alert.informativeText, test.informative);
        EXPECT_EQ(alert.defaultButton, "Move to Applications Folder");
        EXPECT_EQ(alert.alternateButton, "Do Not Move");
        EXPECT_EQ(alert.alternateButtonKeyEquivalent, "\033");
        EXPECT_EQ(alert.showsSuppressionButton, test.suppressionBox);
        EXPECT_THAT(world.desktop.journal.entries(),
                    ElementsAre("activate", "alert: " + test.message));
    }
}

TEST(MoveToApplicationsFolderTest, TextsComeFromTheMoveApplicationTable) {
    MoveWorld world;
    world.fake.bundle.translations[{"MoveApplication",
                                    "Move to Applications folder in your Home "
                                    "folder?"}] = "In den Programme-Ordner?";
    world.fake.bundle.translations[{"Localizable", "Do Not Move"}] = "not this table";
    world.desktop.alerts.answer = NSAlertAlternateReturn;
    world.offer();
    ASSERT_EQ(world.desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(world.desktop.alerts.shown[0].messageText, "In den Programme-Ordner?");
    EXPECT_EQ(world.desktop.alerts.shown[0].alternateButton, "Do Not Move");
}

TEST(MoveToApplicationsFolderTest, TheHomeFolderIsTakenThroughItsLinks) {
    MoveWorld world;
    const std::string real = world.scratch.file("elsewhere/Apps");
    fs::remove(world.home() + "/Applications");
    fs::create_directories(real);
    fs::create_directory_symlink(real, world.home() + "/Applications");
    world.offer();
    ASSERT_EQ(world.files.copies.size(), 1u);
    EXPECT_EQ(world.files.copies[0].second, real + "/Plinka.app");
    EXPECT_EQ(world.desktop.alerts.shown.at(0).messageText,
              "Move to Applications folder in your Home folder?");
}

TEST(MoveToApplicationsFolderTest, DecliningStoresTheSuppressionAsTheBoxSays) {
    struct Case {
        const char* what;
        double level;
        bool boxChecked;
        bool suppressed;
    };
    const Case cases[] = {
        {"Escape with the box off", 1038, false, false},
        {"Escape with the box on", 1038, true, true},
        {"no box on an old toolkit", 824, false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        world.desktop.alerts.answer = NSAlertAlternateReturn;  // what Escape presses
        world.desktop.alerts.suppressionAnswer = test.boxChecked;
        const Outcome first = world.offer();
        EXPECT_TRUE(first.returned && first.result);
        EXPECT_EQ(world.storedSuppression(), test.suppressed ? Object::boolean(true) : Object());
        EXPECT_THAT(world.files.copies, IsEmpty());
        EXPECT_THAT(world.fake.log.lines(), IsEmpty());
        // The next launch asks again unless suppressed.
        world.offer();
        EXPECT_EQ(world.desktop.alerts.shown.size(), test.suppressed ? 1u : 2u);
    }
}

TEST(MoveToApplicationsFolderTest, APlainMoveCopiesTrashesTheOldCopyAndRelaunches) {
    MoveWorld world;
    const std::string bundle = world.fake.bundle.path;
    const std::string destination = world.userDestination();
    const Outcome outcome = world.offer();
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_THAT(world.files.copies, ElementsAre(std::pair(bundle, destination)));
    EXPECT_THAT(world.files.trashed, ElementsAre(bundle));
    EXPECT_THAT(world.installation.moves, ElementsAre(std::pair(bundle, destination)));
    EXPECT_THAT(world.desktop.commands.started,
                ElementsAre("(while [ `ps -p 4242 | wc -l` -gt 1 ]; do sleep 0.1; done; "
                            "/usr/bin/xattr -d -r com.apple.quarantine '" +
                            destination + "'; open '" + destination + "') &"));
    EXPECT_THAT(world.fake.log.lines(), ElementsAre(kMoving));
}

TEST(MoveToApplicationsFolderTest, TheToolkitLevelChoosesTheQuarantineCommandAndTheCopy) {
    struct Case {
        double level;
        std::string quarantine;  // "-": no copy at all
    };
    const Case cases[] = {
        {950.9, "/usr/bin/xattr -d -r com.apple.quarantine '%'; "},
        {949.9, "/usr/bin/xattr -d com.apple.quarantine '%'; "},
        {825, "/usr/bin/xattr -d com.apple.quarantine '%'; "},
        {824.9, "-"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.level);
        MoveWorld world;
        world.installation.appKitLevel = test.level;
        const std::string destination = world.userDestination();
        const Outcome outcome = world.offer();
        if (test.quarantine == "-") {
            EXPECT_TRUE(outcome.returned && outcome.result);
            EXPECT_THAT(world.files.copies, IsEmpty());
            EXPECT_THAT(world.fake.log.lines(),
                        ElementsAre(kMoving, "ERROR -- Could not copy myself to " + destination));
            EXPECT_EQ(world.alertTitles().back(), kFailureTitle);
            continue;
        }
        std::string quarantine = test.quarantine;
        quarantine.replace(quarantine.find('%'), 1, destination);
        EXPECT_EQ(outcome.exitStatus, 0);
        EXPECT_THAT(world.desktop.commands.started,
                    ElementsAre("(while [ `ps -p 4242 | wc -l` -gt 1 ]; do sleep 0.1; done; " +
                                quarantine + "open '" + destination + "') &"));
    }
}

TEST(MoveToApplicationsFolderTest, ARunningCopyAtTheDestinationIsSwitchedTo) {
    MoveWorld world;
    const std::string destination = world.userDestination();
    fs::create_directories(destination);
    world.installation.copyRunning = true;
    const Outcome outcome = world.offer();
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_THAT(
        world.installation.runningCopyTests,
        ElementsAre("ps ax -o comm | grep '" + destination + "/' | grep -v grep >/dev/null"));
    EXPECT_THAT(world.desktop.commands.commands,
                ElementsAre("/usr/bin/open '" + destination + "'"));
    EXPECT_THAT(world.fake.log.lines(),
                ElementsAre(kMoving, "INFO -- Switching to an already running version"));
    EXPECT_THAT(world.files.copies, IsEmpty());
    EXPECT_THAT(world.files.trashed, IsEmpty());
    EXPECT_THAT(world.desktop.commands.started, IsEmpty());
}

TEST(MoveToApplicationsFolderTest, AnIdleCopyAtTheDestinationIsTrashedAndReplaced) {
    MoveWorld world;
    const std::string bundle = world.fake.bundle.path;
    const std::string destination = world.userDestination();
    fs::create_directories(destination);
    EXPECT_EQ(world.offer().exitStatus, 0);
    EXPECT_THAT(world.files.trashed, ElementsAre(destination, bundle));
    EXPECT_THAT(world.files.copies, ElementsAre(std::pair(bundle, destination)));
}

TEST(MoveToApplicationsFolderTest, FailuresShowTheFailureAlertAndKeepTheApplicationWhereItIs) {
    struct Case {
        const char* what;
        bool existing;
        bool trashFails;
        std::string copyError;
        std::vector<std::string> log;  // after the moving line; "%D" is the destination
    };
    const Case cases[] = {
        {"the existing copy stays", true, true, "", {"ERROR -- Could not trash '%D'"}},
        {"the copy fails",
         false,
         false,
         "No space left on device",
         {"ERROR -- Could not copy '%B' to '%D' (No space left on device)",
          "ERROR -- Could not copy myself to %D"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        MoveWorld world;
        const std::string destination = world.userDestination();
        if (test.existing) {
            fs::create_directories(destination);
        }
        world.files.trashFails = test.trashFails;
        world.files.copyError = test.copyError;
        const Outcome outcome = world.offer();
        EXPECT_TRUE(outcome.returned && outcome.result);
        std::vector<std::string> expected{kMoving};
        for (std::string line : test.log) {
            for (const auto& [mark, path] : {std::pair<std::string, std::string>{"%D", destination},
                                             {"%B", world.fake.bundle.path}}) {
                for (size_t at; (at = line.find(mark)) != std::string::npos;) {
                    line.replace(at, mark.size(), path);
                }
            }
            expected.push_back(line);
        }
        EXPECT_EQ(world.fake.log.lines(), expected);
        EXPECT_THAT(world.alertTitles(),
                    ElementsAre("Move to Applications folder in your Home folder?", kFailureTitle));
        EXPECT_THAT(world.desktop.commands.started, IsEmpty());
    }
}

TEST(MoveToApplicationsFolderTest, AnOldCopyThatCannotBeTrashedOnlyWarns) {
    MoveWorld world;
    world.files.trashFails = true;
    EXPECT_EQ(world.offer().exitStatus, 0);
    EXPECT_THAT(world.fake.log.lines(),
                ElementsAre(kMoving, "ERROR -- Could not trash '" + world.fake.bundle.path + "'",
                            "WARNING -- Could not delete application after moving it to "
                            "Applications folder"));
}

TEST(MoveToApplicationsFolderTest, AReadOnlyDiskImageStaysAndIsDetachedAfterTheRelaunch) {
    MoveWorld world;
    world.fake.bundle.path = "/Volumes/Plinka 1.0/Plinka.app";
    world.files.readOnly.insert(world.fake.bundle.path);
    EXPECT_EQ(world.offer().exitStatus, 0);
    EXPECT_THAT(world.files.trashed, IsEmpty());
    ASSERT_EQ(world.desktop.commands.started.size(), 2u);
    EXPECT_EQ(world.desktop.commands.started[1],
              "(sleep 5 && hdiutil detach '/Volumes/Plinka 1.0') &");
}

TEST(MoveToApplicationsFolderTest, TheAuthorizedMoveChecksEachStep) {
    constexpr int kExitedWith1 = 1 << 8;
    constexpr int kKilled = 9;
    struct Case {
        const char* what;
        OSStatus status;
        std::vector<int> statuses;  // of the removal and the copy
        bool moves;
        bool failureAlert;
    };
    const Case cases[] = {
        {"success", errAuthorizationSuccess, {0, 0}, true, false},
        {"the removal's exit code is not looked at",
         errAuthorizationSuccess,
         {kExitedWith1, 0},
         true,
         false},
        {"cancelled", errAuthorizationCanceled, {}, false, false},
        {"refused", errAuthorizationDenied, {}, false, true},
        {"the removal killed", errAuthorizationSuccess, {kKilled}, false, true},
        {"the removal not waited for", errAuthorizationSuccess, {-1, 0}, false, true},
        {"the copy failed", errAuthorizationSuccess, {0, kExitedWith1}, false, true},
        {"the copy killed", errAuthorizationSuccess, {0, kKilled}, false, true},
        {"the copy never ran", errAuthorizationSuccess, {0}, false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        MoveWorld world;
        world.needAuthorization();
        world.authorization.status = test.status;
        world.authorization.statuses = test.statuses;
        const std::string bundle = world.fake.bundle.path;
        const std::string destination = world.localDestination();
        const Outcome outcome = world.offer();
        using Command = PrivilegedExecution::Command;
        EXPECT_THAT(world.authorization.commands,
                    ElementsAre(Command{"/bin/rm", "-rf", destination},
                                Command{"/bin/cp", "-pR", bundle, destination}));
        EXPECT_EQ(outcome.exitStatus, test.moves ? 0 : -1);
        EXPECT_EQ(world.files.trashed,
                  test.moves ? std::vector{bundle} : std::vector<std::string>{});
        std::vector<std::string> log{kMoving};
        if (test.status == errAuthorizationCanceled) {
            log.push_back("INFO -- Not moving because user canceled authorization");
        } else if (test.failureAlert) {
            log.push_back("ERROR -- Could not copy myself to " + world.local() +
                          " with authorization");
        }
        EXPECT_EQ(world.fake.log.lines(), log);
        EXPECT_EQ(world.alertTitles().back(),
                  test.failureAlert ? kFailureTitle : "Move to Applications folder?");
        if (!test.moves) {
            EXPECT_TRUE(outcome.returned && outcome.result);
        }
    }
}

TEST(MoveToApplicationsFolderTest, TheAuthorizedMoveRefusesADestinationThatIsNoBundle) {
    MoveWorld world;
    world.needAuthorization();
    world.fake.bundle.path = world.home() + "/Downloads/Plinka";
    const Outcome outcome = world.offer();
    EXPECT_TRUE(outcome.returned && outcome.result);
    EXPECT_THAT(world.authorization.commands, IsEmpty());
    EXPECT_EQ(world.alertTitles().back(), kFailureTitle);
}

TEST(MoveToApplicationsFolderTest, EveryCommandQuotesItsPathsWhateverTheyHold) {
    MoveWorld world;
    const std::string folder = world.home() + "/Apps it's $HOME `id`";
    fs::remove(world.home() + "/Applications");
    fs::create_directories(folder + "/Plinka.app");
    world.installation.folders[SearchPathDirectory::Applications][0].second = folder;
    world.fake.bundle.path = "/Volumes/Disk it's/Plinka.app";
    world.files.readOnly.insert(world.fake.bundle.path);
    const std::string destination = folder + "/Plinka.app";

    // An idle copy first: trashed and replaced, then the relaunch and the detach.
    EXPECT_EQ(world.offer().exitStatus, 0);
    ASSERT_EQ(world.installation.runningCopyTests.size(), 1u);
    EXPECT_EQ(
        world.installation.runningCopyTests[0],
        "ps ax -o comm | grep " + shellQuoted(destination + "/") + " | grep -v grep >/dev/null");
    EXPECT_THAT(
        world.desktop.commands.started,
        ElementsAre("(while [ `ps -p 4242 | wc -l` -gt 1 ]; do sleep 0.1; done; "
                    "/usr/bin/xattr -d -r com.apple.quarantine " +
                        shellQuoted(destination) + "; open " + shellQuoted(destination) + ") &",
                    "(sleep 5 && hdiutil detach '/Volumes/Disk it'\\''s') &"));

    // Then a running one: opened.
    world.installation.copyRunning = true;
    world.offer();
    EXPECT_THAT(world.desktop.commands.commands,
                ElementsAre("/usr/bin/open " + shellQuoted(destination)));
}

}  // namespace
}  // namespace plinka::testing
