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
        fake.archives.addThemeFile(path, storedName);
    }
    // A theme file in the user's folder ("/u/" + name) whose record stores `storedName`.
    void addUserTheme(const std::string& name, const std::string& storedName) {
        fake.userThemes.paths.push_back("/u/" + name + ".plnk");
        fake.archives.addThemeFile("/u/" + name + ".plnk", storedName);
    }
    // Whether the keep-alive's silent sound is being kept alive.
    bool keepAliveRunning() const { return fake.runLoop.scheduledTimerCount() == 1; }

    FakePlatform fake;
    AudioKeepAlive keepAlive{fake.platform};
};

// The name stored in the file is the one in force; a file missing, undecodable or of another
// class, and "Off", install a new "Off"; no name loads the first file. The keep-alive runs
// exactly while a theme is on.
TEST_F(SoundControllerTest, SettingAThemeLoadsItsFileOrFallsBackToOff) {
    addTheme("Bubbles", "Bubbles");
    addTheme("File", "Stored");
    fake.bundle.addResource("KeySoundThemes", "Broken", "plnk", "/b/Broken.plnk");
    fake.archives.files["/b/Broken.plnk"] = [](const ClassTable&) { return Object(); };
    fake.bundle.addResource("KeySoundThemes", "Foreign", "plnk", "/b/Foreign.plnk");
    fake.archives.addRecordFile("/b/Foreign.plnk", "NSColor", Object::dictionary({}));
    SoundController controller(fake.platform, keepAlive);
    const std::tuple<std::optional<std::string>, bool, std::string> cases[] = {
        {"Bubbles", true, "Bubbles"},    {"Nope", false, "Off"},   {"File", true, "Stored"},
        {"Off", false, "Off"},           {"Broken", false, "Off"}, {"Foreign", false, "Off"},
        {std::nullopt, true, "Bubbles"},
    };
    for (const auto& [name, loaded, current] : cases) {
        SCOPED_TRACE(name.value_or("(none)"));
        EXPECT_EQ(controller.setThemeByName(name), loaded);
        EXPECT_EQ(controller.currentThemeName(), current);
        EXPECT_EQ(keepAliveRunning(), loaded);
    }
    // The name in force again is a shortcut; the stored name is not a file's and loads again.
    const size_t reads = fake.archives.reads.size();
    const size_t sounds = fake.systemSounds.created.size();
    EXPECT_TRUE(controller.setThemeByName("Bubbles"));
    EXPECT_EQ(fake.archives.reads.size(), reads);
    EXPECT_EQ(fake.systemSounds.created.size(), sounds);  // nor is the keep-alive started again
    controller.playSoundForKeyCode(254, 1);
    EXPECT_THAT(fake.speech.synthesizers.back()->spoken, ElementsAre("Bubbles"));
    FakePlatform bare;
    EXPECT_FALSE(SoundController(bare.platform, keepAlive).setThemeByName(std::nullopt));
}

TEST_F(SoundControllerTest, UserThemesFollowTheBundlesOnesAndANameClashIsSkippedOnce) {
    addTheme("Zebra", "Zebra");
    addTheme("Alpha", "Alpha");
    addUserTheme("Alpha", "Not the bundle's");
    addUserTheme("Mine", "Mine");
    addUserTheme("Off", "Not off");
    SoundController controller(fake.platform, keepAlive);
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off", "Zebra", "Alpha", "Mine"));
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off", "Zebra", "Alpha", "Mine"));
    EXPECT_EQ(fake.log.lines().size(), 2u);
    EXPECT_TRUE(controller.setThemeByName("Mine"));
    EXPECT_TRUE(controller.setThemeByName("Alpha"));
    EXPECT_EQ(controller.currentThemeName(), "Alpha");

    // A user theme deleted meanwhile plays on, but is gone from the list and from the next start.
    fake.userThemes.paths.clear();
    fake.archives.files.erase("/u/Mine.plnk");
    EXPECT_THAT(controller.themeNames(), ElementsAre("Off", "Zebra", "Alpha"));
    SoundController restarted(fake.platform, keepAlive);
    EXPECT_FALSE(restarted.setThemeByName("Mine"));
    EXPECT_EQ(restarted.currentThemeName(), "Off");
    EXPECT_FALSE(keepAliveRunning());
}

// What a table lacks is logged once as it loads, never per key (SoundThemeTest, TypingTest): a
// line per key would write down what the user types.
TEST_F(SoundControllerTest, ATableThatLeavesKeysSilentIsLoggedOnceAsItLoads) {
    const Object row = Object::array(Object::Array(SoundTheme::kSlotCount, Object::null()));
    Object::Array odd(SoundTheme::kSlotCount, Object::string("fine"));
    odd[3] = Object::record("NSColor");
    odd[4] = Object::array({Object::string("said, not played"), Object::null()});
    const struct {
        Object sounds;
        std::string logged;
    } cases[] = {
        {Object::array({row, row}), ""},
        {Object(), "no key-up row, no key-down row"},
        {Object::array({row, Object::array(odd)}),
         "3 values that are no sound (NSColor, NSNull, "
         "NSString)"},
    };
    for (const auto& test : cases) {
        fake.log.clear();
        fake.archives.files.clear();
        fake.archives.addRecordFile(
            "/u/Odd.plnk", "SoundTheme",
            Object::dictionary({{Object::string("sounds"), test.sounds},
                                {Object::string("name"), Object::string("Odd")}}));
        fake.userThemes.paths = {"/u/Odd.plnk"};
        SoundController controller(fake.platform, keepAlive);
        controller.setThemeByName("Odd");
        EXPECT_EQ(fake.log.lines().size(), test.logged.empty() ? 0u : 1u);
        EXPECT_THAT(fake.log.lines(),
                    ::testing::Each("The theme /u/Odd.plnk leaves keys silent: " + test.logged));
    }
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
