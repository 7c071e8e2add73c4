// The Preferences window on Qt's offscreen platform, over the real application controller with
// the desktop around it as doubles: each control reaches what it stands for, and the window
// shows changes made elsewhere.
#include <linux/input-event-codes.h>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "app/AppControllerFixture.h"
#include "platform/linux/gui/PreferencesWindow.h"

namespace plinka::testing {
namespace {

class PreferencesWindowTest : public AppControllerFixture {
  protected:
    template <typename Widget>
    Widget* find(const char* name) {
        auto* widget = preferences.window().findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // A key pressed on the recorder, as X11 reports it (evdev code plus 8).
    void press(int evdevCode, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, static_cast<quint32>(evdevCode + 8), 0,
                        0);
        QApplication::sendEvent(find<QPushButton>("muteShortcutRecorder"), &event);
    }

    PreferencesWindow preferences{controller, fake.bundle};
};

TEST_F(PreferencesWindowTest, EachControlReachesTheControllerAndShowsChangesMadeElsewhere) {
    addTheme("Bubbles");
    addTheme("Typewriter");
    desktop.defaults.setBool(true, "playSoundOnThemeSelection");
    controller.awakeFromNib();
    preferences.show();
    auto* themes = find<QListWidget>("themeList");
    ASSERT_EQ(themes->count(), 3);
    EXPECT_EQ(themes->currentItem()->text(), "Bubbles");
    themes->setCurrentRow(2);
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Typewriter");
    EXPECT_FALSE(find<QPushButton>("removeThemeButton")->isEnabled());
    find<QPushButton>("previewButton")->click();
    EXPECT_THAT(spoken(), ::testing::ElementsAre("Typewriter", "Typewriter"));

    find<QSlider>("volumeSlider")->setValue(40);
    EXPECT_EQ(controller.volume(), 0.4);
    find<QCheckBox>("muteCheckBox")->click();
    EXPECT_EQ(fake.systemSounds.outputVolume, 0.0f);
    find<QSpinBox>("pitchVariation")->setValue(30);
    EXPECT_EQ(desktop.defaults.integerForKey("pitchVariation"), 30);
    for (const char* key : {"playMouseSounds", "stereoPosition", "showInMenuBar"}) {
        find<QCheckBox>((std::string(key) + "CheckBox").c_str())->click();
        EXPECT_TRUE(desktop.defaults.boolForKey(key)) << key;
    }

    desktop.defaults.simulateOutsideChange("muted", Object::boolean(false));
    desktop.defaults.simulateOutsideChange("volume", Object::real(0.7));
    EXPECT_FALSE(find<QCheckBox>("muteCheckBox")->isChecked());
    EXPECT_EQ(find<QSlider>("volumeSlider")->value(), 70);
    preferences.setNotice("No tray here.");
    EXPECT_TRUE(find<QLabel>("noTrayNotice")->isVisible());
}

TEST_F(PreferencesWindowTest, TheRecorderTakesAChordAndSaysWhyAPlainLetterWillNotDo) {
    preferences.show();
    auto* recorder = find<QPushButton>("muteShortcutRecorder");
    recorder->click();
    press(KEY_M, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(desktop.defaults.stringForKey("muteShortcut"), "Ctrl+Alt+M");
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+M");
    // The key stream hears the chord after the window did: it is the recorder's until released.
    for (const int key : {0x3B, 0x3A, 0x2E}) {
        controller._keyDown(key);
    }
    EXPECT_FALSE(controller.muted());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_M, Qt::NoModifier, KEY_M + 8, 0, 0);
    QApplication::sendEvent(recorder, &release);
    for (const int key : {0x2E, 0x3A, 0x3B}) {
        controller._keyUp(key);
    }
    for (const int key : {0x3B, 0x3A, 0x2E}) {
        controller._keyDown(key);
    }
    EXPECT_TRUE(controller.muted());

    recorder->click();
    press(KEY_M, Qt::Key_M, Qt::NoModifier);
    EXPECT_EQ(desktop.defaults.stringForKey("muteShortcut"), "Ctrl+Alt+M");
    EXPECT_TRUE(find<QLabel>("muteShortcutRefusal")->isVisible());
    find<QPushButton>("muteShortcutOffButton")->click();
    EXPECT_EQ(desktop.defaults.stringForKey("muteShortcut"), "");
    EXPECT_EQ(recorder->text(), "None");
}

}  // namespace
}  // namespace plinka::testing
