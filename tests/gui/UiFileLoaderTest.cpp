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

struct Broken {
    std::string name;
    std::string body;  // inside <ui>
    std::string error;
};

class UiFileLoaderErrors : public ::testing::TestWithParam<Broken> {};

TEST_P(UiFileLoaderErrors, SayWhatTheyCannotBuild) {
    testing::ScratchDirectory dir;
    const std::string path = dir.file("window.ui");
    std::ofstream(path) << "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">" << GetParam().body
                        << "</ui>\n";
    QString error;
    EXPECT_FALSE(loadUiFile(QString::fromStdString(path), &error));
    EXPECT_NE(error.toStdString().find(GetParam().error), std::string::npos) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, UiFileLoaderErrors,
    ::testing::Values(
        Broken{"unknownWidget",
               "<widget class=\"QWidget\"><layout class=\"QVBoxLayout\"><item>"
               "<widget class=\"QSlider\" name=\"volume\"/></item></layout></widget>",
               "unsupported widget class QSlider"},
        Broken{"unknownLayout",
               "<widget class=\"QWidget\"><layout class=\"QGridLayout\"/></widget>",
               "unsupported layout class QGridLayout"},
        Broken{"unknownProperty",
               "<widget class=\"QCheckBox\"><property name=\"volume\"><number>3</number>"
               "</property></widget>",
               "QCheckBox has no property volume"},
        Broken{"unknownValue",
               "<widget class=\"QWidget\"><property name=\"geometry\"><rect><x>0</x></rect>"
               "</property></widget>",
               "unsupported value type rect of property geometry"},
        Broken{"noWindow", "<class>Nothing</class>", "no window"},
        Broken{"notXml", "<widget class=\"QWidget\">", "line 2: "}),
    [](const auto& test) { return test.param.name; });

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

TEST(PreferencesWindow, RefusesAnInterfaceFileWithoutItsControls) {
    testing::ScratchDirectory dir;
    const std::string path = dir.file("MainMenu.ui");
    std::ofstream(path) << "<ui><widget class=\"QWidget\"><layout class=\"QVBoxLayout\"><item>"
                           "<widget class=\"QCheckBox\" name=\"showInMenuBarCheckBox\"/></item>"
                           "</layout></widget></ui>";
    std::string error;
    EXPECT_FALSE(PreferencesWindow::load(path, {}, &error));
    EXPECT_EQ(error, "the interface file has no startAtLoginCheckBox");
}

}  // namespace
}  // namespace plinka
