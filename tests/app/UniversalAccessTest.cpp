// The permission to read every key: the test at launch and on the timer, the dialog's words by
// system, its buttons and its help.
#include "AppControllerFixture.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class UniversalAccessTest : public AppControllerFixture {
  protected:
    UniversalAccessTest() { desktop.alerts.answer = NSAlertAlternateReturn; }

    size_t alertsShown() const { return desktop.alerts.shown.size(); }
    const Alert& lastAlert() const { return desktop.alerts.shown.back(); }
    std::vector<std::string> journal() const { return desktop.journal.entries(); }
};

// The macOS words name the pane of the release, and the help page is the release's own where
// there is one; the Linux layer's own words and page stand whatever the kernel's number.
TEST_F(UniversalAccessTest, TheWordsAndHelpPageFollowTheSystem) {
    struct Release {
        int64_t major, minor;
        std::string words, page;
    };
    const Release releases[] = {
        {10, 4, "Universal Access pane", "versions.html"},
        {10, 7, "Universal Access pane", "10.7.html"},
        {10, 8, "the Accessibility pane", "10.8.html"},
        {10, 9, "currently restricted", "10.9.html"},
        {10, 13, "currently restricted", "10.13.html"},
        {10, 14, "currently restricted", "versions.html"},
        {11, 0, "currently restricted", "versions.html"},
    };
    for (const Release& release : releases) {
        SCOPED_TRACE(std::to_string(release.major) + "." + std::to_string(release.minor));
        desktop.processInformation.version = {release.major, release.minor, 2};
        controller._showUniversalAccessDialog();
        EXPECT_THAT(lastAlert().informativeText, HasSubstr(release.words));
        EXPECT_EQ(lastAlert().helpAnchor,
                  "http://help.example.org/help/accessibility/" + release.page);
        EXPECT_EQ(lastAlert().defaultButton, "Open System Preferences and Quit");
    }
    // The name fills the words as an argument, never read as a format.
    desktop.access.ownGuide =
        UniversalAccessGuide{"%1$@ needs the keyboards; restart %1$@.",
                             "/help/accessibility/linux.html", "Grant Access and Quit"};
    fake.bundle.info =
        Object::dictionary({{Object::string("CFBundleName"), Object::string("Keys 100% %@")},
                            {Object::string("PLKHelpHost"), Object::string("help.example.org")}});
    controller._showUniversalAccessDialog();
    EXPECT_EQ(lastAlert().informativeText,
              "Keys 100% %@ needs the keyboards; restart Keys 100% %@.");
    EXPECT_EQ(lastAlert().helpAnchor, "http://help.example.org/help/accessibility/linux.html");
    EXPECT_EQ(lastAlert().defaultButton, "Grant Access and Quit");
}

// Quit runs nothing; the default button grants (or, where nothing can grant, opens the help
// page); either way the application ends, queued. The help button opens the page and the
// dialog's answer still decides.
TEST_F(UniversalAccessTest, TheButtonsGrantOrOpenTheHelpAndTheApplicationEnds) {
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.access.scripts, IsEmpty());
    EXPECT_THAT(journal(), ElementsAre("activate", "alert: Accessibility Required"));
    fake.runLoop.runPending();
    EXPECT_THAT(journal().back(), "terminate");

    desktop.alerts.answer = NSAlertDefaultReturn;
    controller._showUniversalAccessDialog();
    ASSERT_EQ(desktop.access.scripts.size(), 1u);
    EXPECT_THAT(desktop.access.scripts[0], HasSubstr("reveal anchor \"Privacy_Accessibility\""));
    EXPECT_THAT(desktop.urls.opened, IsEmpty());

    desktop.access.grants = false;
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.urls.opened, ElementsAre(lastAlert().helpAnchor));

    desktop.alerts.answer = NSAlertAlternateReturn;
    desktop.alerts.pressesHelp = true;
    controller._showUniversalAccessDialog();
    EXPECT_THAT(desktop.alerts.helpHandled, ElementsAre(true));
    EXPECT_EQ(desktop.urls.opened.size(), 2u);
    EXPECT_EQ(desktop.access.scripts.size(), 2u);
    fake.runLoop.runPending();
    const auto entries = journal();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "terminate"), 4);
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

}  // namespace
}  // namespace plinka
