// The launch: the defaults, the chores and the offers, reopening, and the permission to read
// every key (the test on the timer, the dialog's words; its buttons are pressed on the real
// dialog in tests/desktop/LaunchAlertsTest).
#include "AppControllerFixture.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class LaunchTest : public AppControllerFixture {};

TEST_F(LaunchTest, DefaultsComeFromTheBundleWithTheUpdaterKeysForcedOn) {
    fake.bundle.addResource("", "Defaults", "plist", "/b/Defaults.plist");
    desktop.settings.files["/b/Defaults.plist"] =
        Object::dictionary({{Object::string("soundTheme"), Object::string("Bubbles")},
                            {Object::string("SUEnableAutomaticChecks"), Object::boolean(false)}});
    desktop.defaults.setBool(false, "SUSendProfileInfo");  // the user's own choice wins
    AppController::initialize(fake.platform, desktop.services);
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Bubbles");
    EXPECT_TRUE(desktop.defaults.boolForKey("SUEnableAutomaticChecks"));
    EXPECT_FALSE(desktop.defaults.boolForKey("SUSendProfileInfo"));

    testing::FakeDesktop bare(fake.platform);  // no Defaults resource: nothing at all
    testing::FakePlatform empty;
    AppController::initialize(empty.platform, bare.services);
    EXPECT_FALSE(bare.defaults.boolForKey("SUEnableAutomaticChecks"));
}

// The mouse buttons sound from the theme unless "playMouseSounds" is off, whoever sets it; a
// value no Boolean reads is refused with one line, and they sound.
TEST_F(LaunchTest, MouseButtonsSoundUnlessPlayMouseSoundsIsOff) {
    addTheme("Bubbles");
    controller.awakeFromNib();
    controller._mouseDown(0);
    desktop.defaults.simulateOutsideChange("playMouseSounds", Object::string("NO"));
    controller._mouseDown(0);
    controller._mouseUp(0);
    desktop.defaults.setBool(true, "playMouseSounds");
    controller._mouseUp(0);
    desktop.defaults.simulateOutsideChange("playMouseSounds", Object::array({}));
    controller._mouseDown(0);
    EXPECT_THAT(spoken(), ElementsAre("Bubbles click", "Bubbles click", "Bubbles click"));
    ASSERT_EQ(fake.log.lines().size(), 1u);
    EXPECT_THAT(fake.log.lines()[0], ::testing::HasSubstr("playMouseSounds"));
}

// The chores of the launch in order; the crash reports and the move offered both skip feedback
// and updates, one of them does not, and a stored no skips the update check.
TEST_F(LaunchTest, ChoresRunInOrderAndTheOffersMadeDecideWhichRun) {
    const struct {
        bool moveOffered, crashReportsOffered, automaticChecks;
        std::vector<std::string> chores;
    } cases[] = {
        {false, false, true, {"crash reporter", "move offer", "feedback", "update check"}},
        {true, true, true, {"crash reporter", "move offer"}},
        {true, false, false, {"crash reporter", "move offer", "feedback"}},
    };
    for (const auto& test : cases) {
        testing::FakeDesktop other(fake.platform);
        other.launch.moveOffered = test.moveOffered;
        other.launch.crashReportsOffered = test.crashReportsOffered;
        other.defaults.setBool(test.automaticChecks, "SUEnableAutomaticChecks");
        AppController launched(fake.platform, other.services, sounds);
        launched.applicationDidFinishLaunching();
        EXPECT_EQ(other.journal.entries(), test.chores);
        EXPECT_TRUE(other.eventTaps.waitForTap());
        launched.stopEventTapThread();
    }
}

TEST_F(LaunchTest, ReopenPopsUpTheMenuEvenWhenTheIconIsHiddenAndTerminationRemovesIt) {
    desktop.defaults.setBool(true, "suppressMenuBarDisabledPopup");
    controller.awakeFromNib();
    EXPECT_TRUE(controller.applicationShouldHandleReopen(false));
    EXPECT_THAT(desktop.statusBar.popUps, ElementsAre(controller.statusItemMenu().get()));
    controller.applicationWillTerminate();
    EXPECT_TRUE(desktop.statusBar.live.empty());
}

// The tap thread's fatal error waits for the main thread, where the alert shows its text as
// text, never as a format.
TEST_F(LaunchTest, NoKeyCaptureBeepsAlertsAndTerminatesOnTheMainThread) {
    desktop.eventTaps.permitted = false;
    controller.detachEventTapThread();
    controller.stopEventTapThread();
    EXPECT_THAT(desktop.journal.entries(), IsEmpty());
    fake.runLoop.runPending();
    EXPECT_THAT(desktop.journal.entries(), ElementsAre("beep", "alert: Plinka Error", "terminate"));
    const Alert& alert = desktop.alerts.shown.at(0);
    EXPECT_EQ(alert.defaultButton, "Quit");
    EXPECT_EQ(alert.informativeText, "Failed to create event tap.  Contact support for help.");
    controller._quitWithError("100% %@ %d");
    EXPECT_EQ(desktop.alerts.shown.at(1).informativeText, "100% %@ %d");
}

using UniversalAccessTest = AppControllerFixture;

// The desktop's own words fill in the application's name as an argument, never read as a
// format.
TEST_F(UniversalAccessTest, TheNameFillsTheWordsAndIsNeverAFormat) {
    desktop.access.ownGuide =
        UniversalAccessGuide{"%1$@ needs the keyboards; restart %1$@.",
                             "/help/accessibility/linux.html", "Grant Access and Quit"};
    fake.bundle.info =
        Object::dictionary({{Object::string("CFBundleName"), Object::string("Keys 100% %@")},
                            {Object::string("PLKHelpHost"), Object::string("help.example.org")}});
    controller._showUniversalAccessDialog();
    const Alert& alert = desktop.alerts.shown.back();
    EXPECT_EQ(alert.informativeText, "Keys 100% %@ needs the keyboards; restart Keys 100% %@.");
    EXPECT_EQ(alert.helpAnchor, "http://help.example.org/help/accessibility/linux.html");
    EXPECT_EQ(alert.defaultButton, "Grant Access and Quit");
}

TEST_F(UniversalAccessTest, TheTickThatFindsThePermissionGoneStopsTheTimerAndAsksOnce) {
    desktop.alerts.answer = NSAlertAlternateReturn;
    controller.applicationDidFinishLaunching();
    ASSERT_NE(desktop.eventTaps.waitForTap(), nullptr);
    fake.runLoop.advance(60);
    EXPECT_EQ(desktop.eventTaps.captureChecks, 3);  // at launch and twice on the timer
    EXPECT_EQ(desktop.alerts.shown.size(), 0u);
    EXPECT_EQ(fake.runLoop.scheduledTimerCount(), 1u);

    desktop.eventTaps.permitted = false;
    fake.runLoop.advance(30);
    EXPECT_EQ(desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(fake.runLoop.scheduledTimerCount(), 0u);
    fake.runLoop.advance(120);
    EXPECT_EQ(desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(desktop.eventTaps.captureChecks, 4);
    EXPECT_THAT(desktop.journal.entries(), Contains("terminate"));
}

}  // namespace
}  // namespace plinka
