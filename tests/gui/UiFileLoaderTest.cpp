#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <fstream>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "platform/linux/gui/PreferencesWindow.h"
#include "platform/linux/gui/UiFileLoader.h"

namespace plinka {
namespace {

const std::string kMainMenu = PLINKA_SOURCE_DIR "/resources/MainMenu.ui";

TEST(PreferencesWindow, EachControlSendsItsAction) {
    std::vector<std::string> sent;
    bool startsAtLogin = true;
    PreferencesWindow::Actions actions{
        [&] { sent.push_back("icon"); },
        [&] { sent.push_back("updates"); },
        [&](int state) { sent.push_back("login " + std::to_string(state)); },
        [&] { sent.push_back("login items"); },
        [&] { sent.push_back("import"); },
        [] { return true; },
        [] { return false; },
        [&] { return startsAtLogin; }};
    std::string error;
    const auto window = PreferencesWindow::load(kMainMenu, actions, &error);
    ASSERT_TRUE(window) << error;
    window->show();
    EXPECT_TRUE(window->window().findChild<QCheckBox*>("startAtLoginCheckBox")->isChecked());

    window->window().findChild<QCheckBox*>("showInMenuBarCheckBox")->click();
    window->window().findChild<QCheckBox*>("checkForUpdatesCheckBox")->click();
    startsAtLogin = false;
    window->window().findChild<QCheckBox*>("startAtLoginCheckBox")->click();
    window->window().findChild<QPushButton*>("loginItemsButton")->click();
    window->window().findChild<QPushButton*>("importSoundPackButton")->click();
    EXPECT_EQ(sent,
              (std::vector<std::string>{"icon", "updates", "login 1", "login items", "import"}));
    // Each click shows the state the actions report, not the click's own.
    EXPECT_TRUE(window->window().findChild<QCheckBox*>("showInMenuBarCheckBox")->isChecked());
    EXPECT_FALSE(window->window().findChild<QCheckBox*>("checkForUpdatesCheckBox")->isChecked());
    EXPECT_FALSE(window->window().findChild<QCheckBox*>("startAtLoginCheckBox")->isChecked());
}

}  // namespace
}  // namespace plinka
