// What the Preferences window, the mute key and scripts ask of the controller: volume and mute
// (also as stored from outside), the mute shortcut, removing themes and the background import.
#include <cmath>

#include "AppControllerFixture.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kControl = 0x3B, kRightControl = 0x3E, kOption = 0x3A, kShift = 0x38, kM = 0x2E,
              kZ = 0x06;

class PreferencesTest : public AppControllerFixture {
  protected:
    // Presses the keys in order and releases them in reverse.
    void chord(std::initializer_list<int> keys) {
        for (int key : keys) {
            controller._keyDown(key);
        }
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
            controller._keyUp(*key);
        }
    }
    std::vector<std::string> newLogLines() {
        auto lines = fake.log.lines();
        std::vector<std::string> fresh(lines.begin() + static_cast<long>(logSeen_), lines.end());
        logSeen_ = lines.size();
        return fresh;
    }

  private:
    size_t logSeen_ = 0;
};

TEST_F(PreferencesTest, VolumeFromAnyWhereIsClampedOrRefusedWithOneLineAndReachesTheOutput) {
    const struct {
        Object stored;
        double volume;
        std::string logged;  // empty: nothing
    } cases[] = {
        {Object::real(0.5), 0.5, ""},
        {Object::string("0.25"), 0.25, ""},  // as the command line gives it
        {Object::real(5), 1, "is 5, outside 0 to 1: 1 is used"},
        {Object::integer(-2), 0, "is -2, outside 0 to 1: 0 is used"},
        {Object::real(std::nan("")), 1, "holds NaN"},
        {Object::string("loud"), 1, "holds an NSString, not a number"},
        {Object::boolean(true), 1, "holds an NSNumber"},
        {Object::real(0.5), 0.5, ""},
    };
    for (const auto& test : cases) {
        desktop.defaults.simulateOutsideChange("volume", test.stored);
        EXPECT_EQ(controller.volume(), test.volume) << test.logged;
        EXPECT_EQ(fake.systemSounds.outputVolume, static_cast<float>(test.volume));
        const auto logged = newLogLines();
        EXPECT_EQ(logged.size(), test.logged.empty() ? 0u : 1u);
        EXPECT_THAT(logged, ::testing::Each(HasSubstr(test.logged)));
    }
    std::vector<std::string> announced;
    controller.addScriptingObserver([&](const std::string& key) { announced.push_back(key); });
    controller.setVolume(7);
    EXPECT_EQ(desktop.defaults.objectForKey("volume"), Object::real(1));
    controller.setVolume(std::nan(""));
    EXPECT_EQ(desktop.defaults.objectForKey("volume"), Object::real(1));
    EXPECT_THAT(newLogLines(), ElementsAre("The volume 7 is outside 0 to 1: set to 1",
                                           "Refused to set the volume to NaN"));
    EXPECT_THAT(announced, ElementsAre("volume"));

    controller.setMuted(true);
    desktop.defaults.simulateOutsideChange("muted", Object::date(0));
    EXPECT_FALSE(controller.muted());
    EXPECT_THAT(newLogLines(), ElementsAre(HasSubstr("\"muted\" holds an NSDate")));
    EXPECT_THAT(announced, ElementsAre("volume", "muted", "muted"));
}

// The shortcut is heard in the key stream as it passes: the keys around it and its modifiers
// sound, its own key does not; unmuting plays the theme's sample as a cue.
TEST_F(PreferencesTest, TheMuteKeyFlipsMuteWhileEveryOtherKeySounds) {
    addTheme("Keys", {kControl, kRightControl, kOption, kShift, kM, kZ});
    desktop.defaults.setObject(Object::string("Keys"), "soundTheme");
    desktop.defaults.registerDefaults(
        Object::dictionary({{Object::string("muteShortcut"), Object::string("Ctrl+Alt+M")}}));
    controller.awakeFromNib();
    ASSERT_EQ(controller.muteShortcut(), "Ctrl+Alt+M");

    chord({kZ});
    chord({kControl, kOption, kM});
    EXPECT_TRUE(controller.muted());
    chord({kControl, kShift, kOption, kM});  // another chord: no change
    chord({kM});
    EXPECT_TRUE(controller.muted());
    chord({kRightControl, kOption, kM});
    EXPECT_FALSE(controller.muted());
    // z; the chord without its key; the other chord whole; m; the chord, the cue in between.
    EXPECT_THAT(spoken(),
                ElementsAre("6", "6", "59", "58", "58", "59", "59", "56", "58", "46", "46", "58",
                            "56", "59", "46", "46", "62", "58", "Keys", "58", "62"));
}

TEST_F(PreferencesTest, AShortcutOfAKeyThatTypesIsRefusedWhereverItComesFrom) {
    EXPECT_EQ(controller.setMuteShortcut(KeyChord{0, 0x60}), std::nullopt);
    EXPECT_EQ(controller.muteShortcut(), "F5");
    for (const KeyChord typing : {KeyChord{0, kM}, KeyChord{kCGEventFlagMaskShift, kM},
                                  KeyChord{kCGEventFlagMaskControl, kControl}}) {
        EXPECT_TRUE(controller.setMuteShortcut(typing));
    }
    EXPECT_EQ(controller.muteShortcut(), "F5");
    for (const char* text : {"m", "Shift+M", "Ctrl+Nonsense", "Ctrl"}) {
        desktop.defaults.simulateOutsideChange("muteShortcut", Object::string(text));
        EXPECT_EQ(controller.muteShortcut(), "");
        EXPECT_THAT(newLogLines(),
                    ElementsAre(HasSubstr(std::string("\"") + text + "\" is refused")));
    }
}

TEST_F(PreferencesTest, RemovingAThemeAsksAndTrashesOnlyTheUsersOwnAndTheOneInUseGoesToOff) {
    addTheme("Bubbles");
    const std::string mine = "/home/me/themes/Mine.plnk";
    addTheme("Mine", {}, mine);
    fake.userThemes.paths = {mine};
    controller._setSoundThemeByName("Mine");
    controller.removeTheme("Bubbles");
    EXPECT_TRUE(desktop.alerts.shown.empty());

    ASSERT_TRUE(controller.canRemoveTheme("Mine"));
    desktop.alerts.answer = NSAlertAlternateReturn;
    controller.removeTheme("Mine");
    EXPECT_THAT(desktop.files.trashed, IsEmpty());
    desktop.alerts.answer = NSAlertDefaultReturn;
    controller.removeTheme("Mine");
    ASSERT_EQ(desktop.alerts.shown.size(), 2u);
    EXPECT_EQ(desktop.alerts.shown[1].messageText, "Remove the theme \u201CMine\u201D?");
    EXPECT_THAT(desktop.files.trashed, ElementsAre(mine));
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Off");
}

TEST_F(PreferencesTest, AnImportRunsInTheBackgroundOneAtATimeAndSwitchesOrSaysWhyNot) {
    addTheme("Clack");
    controller.importSoundPack("/packs/broken.zip", false);
    controller.importSoundPack("/packs/other.zip", false);
    EXPECT_TRUE(controller.isImportingSoundPack());
    desktop.soundPacks.finish({std::nullopt, {}, "broken.zip: no such folder or zip file"});
    EXPECT_FALSE(controller.isImportingSoundPack());
    ASSERT_EQ(desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(desktop.alerts.shown[0].informativeText, "broken.zip: no such folder or zip file.");

    controller.importSoundPack("/packs/clack.zip", false);
    controller.cancelSoundPackImport();
    EXPECT_FALSE(controller.isImportingSoundPack());
    EXPECT_FALSE(desktop.soundPacks.running());
    controller.importSoundPack("/packs/clack.zip", true);
    desktop.soundPacks.finish({"Clack", {"key 30: no sound"}, ""});
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Clack");
    EXPECT_THAT(desktop.soundPacks.packs,
                ElementsAre("/packs/broken.zip", "/packs/clack.zip", "/packs/clack.zip split"));
    EXPECT_THAT(fake.log.lines(), ElementsAre("Sound pack clack.zip: key 30: no sound"));
}

}  // namespace
}  // namespace plinka
