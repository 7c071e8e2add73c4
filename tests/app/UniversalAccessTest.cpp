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
