// The permission to read every key: the test on the timer, and the dialog's words. Its buttons
// are pressed on the real dialog in tests/desktop/AccessDialogTest.
#include "AppControllerFixture.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::Contains;

class UniversalAccessTest : public AppControllerFixture {
  protected:
    UniversalAccessTest() { desktop.alerts.answer = NSAlertAlternateReturn; }
};

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
