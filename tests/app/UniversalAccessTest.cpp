// The permission to read every key: the test at launch and on the timer, the dialog's words by
// system, its buttons and its help.
#include "AppControllerFixture.h"
#include "platform/linux/system/InputGroupAccess.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The explanation with the application's name in every place.
std::string named(std::string explanation, const std::string& name) {
    for (size_t at; (at = explanation.find("%1$@")) != std::string::npos;) {
        explanation.replace(at, 4, name);
    }
    return explanation;
}

const std::string kRestricted =
    "%1$@ uses the Accessibility feature in Mac OS X, which is currently restricted.\n\nPlease "
    "grant access to %1$@ in System Preferences > Security & Privacy > Privacy tab > "
    "Accessibility, then restart %1$@.\n\nClick the Help button for more information.";
const std::string kAccessibilityPane =
    "%1$@ uses the Accessibility feature in Mac OS X, which is currently disabled.\n\nPlease "
    "enable Accessibility by selecting the checkbox \"Enable access for assistive devices\" in "
    "the Accessibility pane of System Preferences, then restart %1$@.\n\nClick the Help button "
    "for more information.";
const std::string kUniversalAccessPane =
    "%1$@ uses the Accessibility feature in Mac OS X, which is currently disabled.\n\nPlease "
    "enable Accessibility by selecting the checkbox \"Enable access for assistive devices\" in "
    "the Universal Access pane of System Preferences, then restart %1$@.\n\nClick the Help "
    "button for more information.";

class UniversalAccessTest : public AppControllerFixture {
  protected:
    UniversalAccessTest() { desktop.alerts.answer = NSAlertAlternateReturn; }

    size_t alertsShown() const { return desktop.alerts.shown.size(); }
    const Alert& lastAlert() const { return desktop.alerts.shown.back(); }
    std::vector<std::string> journal() const { return desktop.journal.entries(); }
};

TEST_F(UniversalAccessTest, TheMacOSWordsAndHelpPageFollowTheRelease) {
    struct Release {
        int64_t major, minor;
        const std::string& explanation;
        std::string page;
    };
    const std::vector<Release> releases{
        {10, 4, kUniversalAccessPane, "versions.html"},
        {10, 7, kUniversalAccessPane, "10.7.html"},
        {10, 8, kAccessibilityPane, "10.8.html"},
        {10, 9, kRestricted, "10.9.html"},
        {10, 13, kRestricted, "10.13.html"},
        {10, 14, kRestricted, "versions.html"},
        {11, 0, kRestricted, "versions.html"},
    };
    for (const Release& release : releases) {
        SCOPED_TRACE(std::to_string(release.major) + "." + std::to_string(release.minor));
        desktop.processInformation.version = {release.major, release.minor, 2};
        controller._showUniversalAccessDialog();
        const Alert& alert = lastAlert();
        EXPECT_EQ(alert.messageText, "Accessibility Required");
        EXPECT_EQ(alert.informativeText, named(release.explanation, "Plinka"));
        EXPECT_EQ(alert.helpAnchor, "http://help.example.org/help/accessibility/" + release.page);
        EXPECT_EQ(alert.defaultButton, "Open System Preferences and Quit");
        EXPECT_EQ(alert.alternateButton, "Quit");
        EXPECT_EQ(alert.otherButton, std::nullopt);
        EXPECT_EQ(alert.style, AlertStyle::Critical);
        EXPECT_TRUE(alert.showsHelp);
    }
}

// On Linux the platform's own words and page stand, whatever the kernel's number; the name
// fills them as an argument and is never read as a format.
TEST_F(UniversalAccessTest, TheLinuxLayerGivesItsOwnWordsPageAndButton) {
    testing::ScriptedCommandRunner commands;
    InputGroupAccess keyboards({}, commands, fake.log);
    desktop.access.ownGuide = keyboards.guide();
    fake.bundle.info =
        Object::dictionary({{Object::string("CFBundleName"), Object::string("Keys 100% %@")},
                            {Object::string("PLKHelpHost"), Object::string("help.example.org")}});
    for (const int64_t kernel : {6, 10}) {
        desktop.processInformation.version = {kernel, 1, 0};
        controller._showUniversalAccessDialog();
        const Alert& alert = lastAlert();
        EXPECT_EQ(alert.messageText, "Accessibility Required");
        EXPECT_EQ(
            alert.informativeText,
            "Keys 100% %@ needs to read the keyboard devices to hear every key, and this session "
            "does not allow it.\n\nClick \"Grant Access and Quit\" and enter an administrator's "
            "password to let your user read them, or add your user to the group \"input\" "
            "yourself. Then restart Keys 100% %@.\n\nClick the Help button for more information.");
        EXPECT_EQ(alert.helpAnchor, "http://help.example.org/help/accessibility/linux.html");
        EXPECT_EQ(alert.defaultButton, "Grant Access and Quit");
        EXPECT_EQ(alert.alternateButton, "Quit");
    }
    EXPECT_THAT(commands.commands, IsEmpty());
}

TEST_F(UniversalAccessTest, QuitRunsNoScriptTheDefaultButtonDoesAndBothEndTheApplication) {
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.access.scripts, IsEmpty());
    EXPECT_THAT(journal(), ElementsAre("activate", "alert: Accessibility Required"));
    fake.runLoop.runPending();  // the end is queued, not immediate
    EXPECT_THAT(journal(), ElementsAre("activate", "alert: Accessibility Required", "terminate"));

    desktop.alerts.answer = NSAlertDefaultReturn;
    controller._showUniversalAccessDialog();
    ASSERT_EQ(desktop.access.scripts.size(), 1u);
    const std::string& script = desktop.access.scripts[0];
    EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 11);
    EXPECT_TRUE(script.starts_with("  if application \"System Preferences\" is running then\n"));
    EXPECT_NE(script.find("\n      tell pane id \"com.apple.preference.security\" to reveal anchor "
                          "\"Privacy_Accessibility\"\n    on error\n"),
              std::string::npos);
    EXPECT_TRUE(script.ends_with("\n    end try\n  end tell"));
    EXPECT_THAT(desktop.urls.opened, IsEmpty());
    fake.runLoop.runPending();
    const auto entries = journal();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "terminate"), 2);
}

// Where the desktop has no way to grant the permission, the default button shows the help.
TEST_F(UniversalAccessTest, WithoutAWayToGrantTheDefaultButtonOpensTheHelpPage) {
    desktop.access.grants = false;
    desktop.alerts.answer = NSAlertDefaultReturn;
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.urls.opened, ElementsAre(lastAlert().helpAnchor));
}

TEST_F(UniversalAccessTest, HelpOpensTheAnchorsPageAndTheDialogStays) {
    desktop.alerts.pressesHelp = true;
    desktop.processInformation.version = {10, 13, 0};
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.alerts.helpHandled, ElementsAre(true));
    EXPECT_THAT(desktop.urls.opened,
                ElementsAre("http://help.example.org/help/accessibility/10.13.html"));
    // The answer after the help still decides: Quit.
    EXPECT_THAT(desktop.access.scripts, IsEmpty());
}

TEST_F(UniversalAccessTest, TheTickThatFindsThePermissionGoneStopsTheTimerAndAsksOnce) {
    controller.applicationDidFinishLaunching();
    ASSERT_NE(desktop.eventTaps.waitForTap(), nullptr);
    fake.runLoop.advance(60);
    EXPECT_EQ(desktop.eventTaps.captureChecks, 3);  // at launch and twice on the timer
    EXPECT_EQ(alertsShown(), 0u);
    EXPECT_EQ(fake.runLoop.scheduledTimerCount(), 1u);

    desktop.eventTaps.permitted = false;
    fake.runLoop.advance(30);
    EXPECT_EQ(alertsShown(), 1u);
    EXPECT_EQ(fake.runLoop.scheduledTimerCount(), 0u);
    fake.runLoop.advance(120);
    EXPECT_EQ(alertsShown(), 1u);
    EXPECT_EQ(desktop.eventTaps.captureChecks, 4);
    EXPECT_THAT(journal(), Contains("terminate"));
}

// Without the permission at launch the dialog's answer ends the run: no later step shows an
// alert that would close unseen or acts on one, and the tap is not even started.
TEST_F(UniversalAccessTest, WithoutItAtLaunchTheDialogIsTheLastStep) {
    desktop.eventTaps.permitted = false;
    controller.applicationDidFinishLaunching();
    EXPECT_THAT(journal(), ElementsAre("activate", "alert: Accessibility Required"));
    fake.runLoop.advance(60);
    EXPECT_EQ(alertsShown(), 1u);
    EXPECT_THAT(journal(), ElementsAre("activate", "alert: Accessibility Required", "terminate"));
}

}  // namespace
}  // namespace plinka
