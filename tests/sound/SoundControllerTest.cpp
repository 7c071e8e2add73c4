#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakePlatform.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

class SoundControllerTest : public ::testing::Test {
  protected:
    SoundControllerTest() { fake.bundle.addResource("", "silence", "wav", "/b/silence.wav"); }
    // A theme file in the bundle whose record stores `storedName`.
    void addTheme(const std::string& fileName, const std::string& storedName) {
        const std::string path = "/b/KeySoundThemes/" + fileName + ".plnk";
        fake.bundle.addResource("KeySoundThemes", fileName, "plnk", path);
        addThemeFile(path, storedName);
    }
    // A theme file in the user's folder whose record stores `storedName` (its "/u/" + name).
    void addUserTheme(const std::string& name, const std::string& storedName) {
        fake.userThemes.paths.push_back("/u/" + name + ".plnk");
        addThemeFile("/u/" + name + ".plnk", storedName);
    }
    void addThemeFile(const std::string& path, const std::string& storedName) {
        Object::Array down(SoundTheme::kSlotCount, Object::null());
        down[254] = Object::string(storedName);
        fake.archives.addRecordFile(
            path, "SoundTheme",
            Object::dictionary({{Object::string("sounds"),
                                 Object::array({Object::array(down), Object::array(down)})},
                                {Object::string("name"), Object::string(storedName)}}));
    }
    // Whether the keep-alive's silent sound is being kept alive.
    bool keepAliveRunning() const { return fake.runLoop.scheduledTimerCount() == 1; }

    FakePlatform fake;
    AudioKeepAlive keepAlive{fake.platform};
};

TEST_F(SoundControllerTest, UserThemesFollowTheBundlesOnesAndANameClashIsSkippedOnce) {
    addTheme("Zebra", "Zebra");
    addTheme("Alpha", "Alpha");
    addUserTheme("Alpha", "Not the bundle's");
    addUserTheme("Mine", "Mine");
    addUserTheme("Off", "Not off");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off", "Zebra", "Alpha", "Mine"));
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off", "Zebra", "Alpha", "Mine"));
    EXPECT_THAT(fake.log.lines(),
                ElementsAre("Skipping the theme /u/Alpha.plnk: the application has a theme "
                            "named Alpha",
                            "Skipping the theme /u/Off.plnk: the application has a theme named "
                            "Off"));
    EXPECT_TRUE(controller.setThemeByName("Mine"));
    EXPECT_EQ(controller.currentThemeName(), "Mine");
    EXPECT_TRUE(controller.setThemeByName("Alpha"));
    EXPECT_EQ(controller.currentThemeName(), "Alpha");
    EXPECT_FALSE(controller.setThemeByName("Off"));
    EXPECT_FALSE(keepAliveRunning());
}

TEST_F(SoundControllerTest, ADeletedUserThemeFallsBackAsAMissingOneDoes) {
    addUserTheme("Mine", "Mine");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_TRUE(controller.setThemeByName(std::nullopt));  // the only theme file: the user's
    EXPECT_EQ(controller.currentThemeName(), "Mine");
    fake.userThemes.paths.clear();
    fake.archives.files.erase("/u/Mine.plnk");
    // The theme in force plays on; it is gone from the list, and asking for it again (or at the
    // next start) installs "Off".
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off"));
    SoundController restarted(fake.platform, keepAlive);
    EXPECT_FALSE(restarted.setThemeByName("Mine"));
    EXPECT_EQ(restarted.currentThemeName(), "Off");
    EXPECT_FALSE(keepAliveRunning());
}

TEST_F(SoundControllerTest, SwitchingLoadsStartsKeepAliveAndSameNameIsAShortcut) {
    addTheme("Bubbles", "Bubbles");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_TRUE(controller.setThemeByName("Bubbles"));
    EXPECT_EQ(controller.currentThemeName(), "Bubbles");
    EXPECT_TRUE(keepAliveRunning());
    EXPECT_TRUE(controller.setThemeByName("Bubbles"));
    EXPECT_EQ(fake.archives.reads.size(), 1u);
    EXPECT_EQ(fake.systemSounds.created.size(), 1u);  // the keep-alive's sound, made once
    controller.playSoundForKeyCode(254, 1);
    EXPECT_THAT(fake.speech.synthesizers.back()->spoken, ElementsAre("Bubbles"));
}

TEST_F(SoundControllerTest, MissingOrOffFallsBackToANewOffThemeAndStopsKeepAlive) {
    addTheme("Bubbles", "Bubbles");
    SoundController controller(fake.platform, keepAlive);
    controller.setThemeByName("Bubbles");
    EXPECT_FALSE(controller.setThemeByName("Nope"));
    EXPECT_EQ(controller.currentThemeName(), "Off");
    EXPECT_FALSE(keepAliveRunning());
    controller.setThemeByName("Bubbles");
    EXPECT_FALSE(controller.setThemeByName("Off"));
    EXPECT_EQ(controller.currentThemeName(), "Off");
    EXPECT_FALSE(keepAliveRunning());
}

TEST_F(SoundControllerTest, UndecodableFileOrForeignRootIsLikeAMissingFile) {
    fake.bundle.addResource("KeySoundThemes", "Broken", "plnk", "/b/Broken.plnk");
    fake.archives.files["/b/Broken.plnk"] = [](const ClassTable&) { return Object(); };
    fake.bundle.addResource("KeySoundThemes", "Foreign", "plnk", "/b/Foreign.plnk");
    fake.archives.addRecordFile("/b/Foreign.plnk", "NSColor", Object::dictionary({}));
    fake.bundle.addResource("KeySoundThemes", "Strings", "plnk", "/b/Strings.plnk");
    fake.archives.files["/b/Strings.plnk"] = [](const ClassTable&) { return Object::string("x"); };
    SoundController controller(fake.platform, keepAlive);
    for (const char* name : {"Broken", "Foreign", "Strings"}) {
        EXPECT_FALSE(controller.setThemeByName(name)) << name;
        EXPECT_EQ(controller.currentThemeName(), "Off");
    }
}

TEST_F(SoundControllerTest, AbsentNameLoadsTheFirstFileOrFallsBack) {
    SoundController empty(fake.platform, keepAlive);
    EXPECT_FALSE(empty.setThemeByName(std::nullopt));
    addTheme("First", "First");
    addTheme("Second", "Second");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_TRUE(controller.setThemeByName(std::nullopt));
    EXPECT_EQ(controller.currentThemeName(), "First");
}

TEST_F(SoundControllerTest, CurrentNameIsTheStoredNameSoTheFileNameReloads) {
    addTheme("File", "Stored");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_TRUE(controller.setThemeByName("File"));
    EXPECT_EQ(controller.currentThemeName(), "Stored");
    EXPECT_TRUE(controller.setThemeByName("File"));
    EXPECT_EQ(fake.archives.reads.size(), 2u);
}

TEST_F(SoundControllerTest, OldThemeIsGoneBeforeTheNewFileIsRead) {
    addTheme("Bubbles", "Bubbles");
    SoundController controller(fake.platform, keepAlive);
    controller.setThemeByName("Bubbles");
    const auto oldVoice = fake.speech.synthesizers.back();
    bool oldAliveDuringRead = true;
    fake.bundle.addResource("KeySoundThemes", "Probe", "plnk", "/b/Probe.plnk");
    fake.archives.files["/b/Probe.plnk"] = [&](const ClassTable&) {
        oldAliveDuringRead = oldVoice->alive;
        return Object();
    };
    controller.setThemeByName("Probe");
    EXPECT_FALSE(oldAliveDuringRead);
}

}  // namespace
}  // namespace plinka
