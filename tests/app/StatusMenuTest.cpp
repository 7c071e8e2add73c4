#include "AppControllerFixture.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::ElementsAre;

class StatusMenuTest : public AppControllerFixture {
  protected:
    void SetUp() override { desktop.defaults.setBool(true, "showInMenuBar"); }
};

// A theme chosen is saved and its sample played, also when it is the checked one, which is not
// read again.
TEST_F(StatusMenuTest, TheMenuIsRebuiltAtEachOpeningAndAChoiceSavesAndPlaysTheSample) {
    addTheme("Bubbles");
    addTheme("Typewriter");
    desktop.defaults.setBool(true, "playSoundOnThemeSelection");
    controller.awakeFromNib();
    EXPECT_THAT(openMenu(), ElementsAre("Sound Themes", "Off", "*Bubbles", "Typewriter", "---",
                                        "About Plinka", "Online Help\u2026 (alt)", "Quit Plinka"));
    menuItem("Typewriter").action(menuItem("Typewriter"));
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Typewriter");
    EXPECT_THAT(openMenu()[3], "*Typewriter");
    menuItem("Typewriter").action(menuItem("Typewriter"));
    EXPECT_THAT(spoken(), ElementsAre("Typewriter", "Typewriter"));
    EXPECT_EQ(fake.archives.reads.size(), 2u);
    controller.soundSelectionChanged(nullptr);  // not a menu item: nothing
    EXPECT_EQ(spoken().size(), 2u);
}

TEST_F(StatusMenuTest, HidingTheIconShowsTheNoticeUntilItsBoxIsLeftChecked) {
    controller.awakeFromNib();
    controller.toggleShowMenuBarIcon();
    ASSERT_NE(desktop.statusBar.only(), nullptr);
    EXPECT_EQ(desktop.statusBar.only()->length(), 1.0);
    EXPECT_TRUE(desktop.statusBar.only()->image.empty());
    ASSERT_EQ(desktop.alerts.shown.size(), 1u);
    const Alert& notice = desktop.alerts.shown[0];
    EXPECT_TRUE(notice.showsSuppressionButton && notice.suppressionButtonChecked);
    EXPECT_TRUE(desktop.defaults.boolForKey("suppressMenuBarDisabledPopup"));
    controller._updateStatusItem();
    EXPECT_EQ(desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(desktop.statusBar.only()->menu(), controller.statusItemMenu());

    // Unchecked, it shows again next time.
    desktop.alerts.suppressionAnswer = false;
    desktop.defaults.setBool(false, "suppressMenuBarDisabledPopup");
    controller._updateStatusItem();
    controller._updateStatusItem();
    EXPECT_EQ(desktop.alerts.shown.size(), 3u);
    EXPECT_FALSE(desktop.defaults.boolForKey("suppressMenuBarDisabledPopup"));
}

TEST_F(StatusMenuTest, HelpOpensTheBundlesHelpPage) {
    controller.showHelp();
    EXPECT_THAT(desktop.urls.opened, ElementsAre("http://help.example.org/help/plinka"));
}

TEST_F(StatusMenuTest, StartAtLoginFollowsTheSendersState) {
    fake.bundle.path = desktop.home.file("Plinka.app");
    testing::writeProgram(fake.bundle.path + "/Contents/MacOS/Plinka", "#!/bin/sh\n");
    controller.toggleStartAtLogin(0);
    EXPECT_TRUE(desktop.loginItems.isLoginItem(fake.bundle));
    controller.toggleStartAtLogin(-1);  // mixed counts as on
    EXPECT_FALSE(desktop.loginItems.isLoginItem(fake.bundle));
}

}  // namespace
}  // namespace plinka
