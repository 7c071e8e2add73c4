#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "doubles/FakePlatform.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

class SoundThemeTest : public ::testing::Test {
  protected:
    std::shared_ptr<Sound> soundOf(const std::string& file) {
        return Sound::initWithContentsOfURL("file:///sounds/" + file, fake.platform);
    }
    // A theme whose key-down row holds `value` at `keyCode`; everything else silent.
    std::shared_ptr<SoundTheme> themeWith(int keyCode, Object value) {
        Object::Array down(SoundTheme::kSlotCount, Object::null());
        down[static_cast<size_t>(keyCode)] = std::move(value);
        const Object up = Object::array(Object::Array(SoundTheme::kSlotCount, Object::null()));
        return SoundTheme::themeWithSounds(Object::array({up, Object::array(down)}), "Test",
                                           fake.platform);
    }

    FakePlatform fake;
};

TEST_F(SoundThemeTest, OffThemeIsSilentEverywhereAndLogsNothing) {
    auto theme = SoundTheme::init(fake.platform);
    EXPECT_EQ(theme->name(), "Off");
    for (int state : {0, 1}) {
        for (int key = 0; key < SoundTheme::kSlotCount; ++key) {
            theme->playSoundForKeyCode(key, state);
        }
    }
    EXPECT_TRUE(fake.systemSounds.played.empty());
    EXPECT_TRUE(fake.log.lines().empty());
    ASSERT_EQ(theme->sounds().arrayValue()->size(), 2u);
    EXPECT_EQ((*theme->sounds().arrayValue())[1].arrayValue()->size(), 255u);
}

// Playback writes nothing about a key: that would log what the user types.
TEST_F(SoundThemeTest, KeysPastTheTableAndSlotsOfNoSoundAreSilentAndUnlogged) {
    auto sound = soundOf("sample.wav");
    auto theme = themeWith(254, Object::instance(sound));
    theme->playSoundForKeyCode(254, 1);
    EXPECT_THAT(fake.systemSounds.played, ElementsAre(sound->soundID()));
    // Compared unsigned: negative key codes and states are past the table too.
    for (const auto& [key, state] : {std::pair{255, 1}, {-1, 0}, {0, 2}, {0, -1}}) {
        theme->playSoundForKeyCode(key, state);
    }
    auto rowless = SoundTheme::themeWithSounds(Object(), "NoRows", fake.platform);
    rowless->playSoundForKeyCode(0, 0);
    auto shortRow = SoundTheme::themeWithSounds(
        Object::array({Object::array({Object::null()}), Object::string("not a row")}), "Short",
        fake.platform);
    shortRow->playSoundForKeyCode(1, 0);
    shortRow->playSoundForKeyCode(0, 1);
    const Object odd[] = {Object::record("NSColor"), Object::integer(4), Object::array({}),
                          Object(), Object::array({Object()})};
    for (const Object& value : odd) {
        themeWith(9, value)->playSoundForKeyCode(9, 1);
    }
    EXPECT_EQ(fake.systemSounds.played.size(), 1u);
    EXPECT_TRUE(fake.log.lines().empty());
}

TEST_F(SoundThemeTest, VariantIsPickedByRandomModuloCountAndNotRetested) {
    auto a = soundOf("a.wav");
    auto b = soundOf("b.wav");
    auto theme = themeWith(
        3, Object::array({Object::instance(a), Object::instance(b), Object::string("say")}));
    fake.random.numbers = {0, 4, 0xFFFFFFFFu, 5};
    for (int i = 0; i < 4; ++i) {
        theme->playSoundForKeyCode(3, 1);
    }
    // 0 % 3 = a, 4 % 3 = b, 0xFFFFFFFF % 3 = a (unsigned), 5 % 3 = the string, not spoken.
    EXPECT_THAT(fake.systemSounds.played, ElementsAre(a->soundID(), b->soundID(), a->soundID()));
    EXPECT_TRUE(fake.speech.synthesizers.back()->spoken.empty());
}

TEST_F(SoundThemeTest, StringsAreSpokenAndANewOneCutsOffTheLast) {
    Object::Array down(SoundTheme::kSlotCount, Object::null());
    down[0] = Object::string("a");
    down[11] = Object::string("b");
    auto theme = SoundTheme::themeWithSounds(
        Object::array({Object::array(down), Object::array(down)}), "Speaking", fake.platform);
    theme->playSoundForKeyCode(0, 1);
    theme->playSoundForKeyCode(11, 1);
    const auto& voice = *fake.speech.synthesizers.back();
    EXPECT_THAT(voice.spoken, ElementsAre("a", "b"));
    EXPECT_THAT(voice.cutOff, ElementsAre("a"));
    EXPECT_TRUE(fake.systemSounds.played.empty());
}

// Mouse slots play as key slots do, and may hold a key's very sound. Whatever lies beyond the
// table (every older theme has none) is silent, and nothing is logged for a click.
TEST_F(SoundThemeTest, MouseButtonsPlayTheirSlotsAndAreSilentBeyondThem) {
    auto click = soundOf("click.wav");
    auto theme = themeWith(0, Object::instance(click));
    theme->playSoundForMouseButton(0, 1);
    const Object keysSound = (*(*theme->sounds().arrayValue())[1].arrayValue())[0];
    theme->setMouseSounds(
        Object::array({Object::array({Object::null(), Object::string("up")}),
                       Object::array({keysSound, Object::null(), Object::integer(3)})}));
    const std::pair<int, int> clicks[] = {{0, 1}, {1, 0},  {1, 1}, {2, 1}, {2, 0},
                                          {3, 1}, {-1, 1}, {0, 2}, {0, -1}};
    for (const auto& [button, state] : clicks) {
        theme->playSoundForMouseButton(button, state);
    }
    EXPECT_THAT(fake.systemSounds.played, ElementsAre(click->soundID()));
    EXPECT_THAT(fake.speech.synthesizers.back()->spoken, ElementsAre("up"));
    EXPECT_THAT(fake.log.lines(), ::testing::IsEmpty());
}

TEST_F(SoundThemeTest, PlaybackOffTheMainThreadIsRefused) {
    auto sound = soundOf("k.wav");
    auto theme = themeWith(1, Object::instance(sound));
    std::thread([&] {
        theme->playSoundForKeyCode(1, 1);
        theme->playSoundForKeyCode(1, 0);
    }).join();
    EXPECT_TRUE(fake.systemSounds.played.empty());
    EXPECT_THAT(fake.log.lines(), ElementsAre("Sounds must be played on the main thread"));
}

TEST_F(SoundThemeTest, CodingWritesVersionSoundsNameAndReadsThemBack) {
    auto theme = themeWith(2, Object::string("x"));
    testing::RecordingEncoder encoder;
    theme->encodeWithCoder(encoder);
    EXPECT_THAT(encoder.keys(), ElementsAre("version", "sounds", "name"));
    EXPECT_EQ(encoder["version"], Object::integer(1));
    EXPECT_EQ(encoder["name"], Object::string("Test"));

    testing::DictionaryDecoder decoder(
        Object::dictionary({{Object::string("sounds"), encoder["sounds"]},
                            {Object::string("name"), encoder["name"]}}));
    const size_t synthesizersBefore = fake.speech.synthesizers.size();
    auto decoded = SoundTheme::initWithCoder(decoder, fake.platform);
    EXPECT_EQ(decoded->name(), "Test");
    EXPECT_EQ(decoded->sounds(), theme->sounds());
    EXPECT_EQ(fake.speech.synthesizers.size(), synthesizersBefore + 1);
}

TEST_F(SoundThemeTest, ReleasingAThemeReleasesItsSoundsAndVoice) {
    auto theme = themeWith(4, Object::instance(soundOf("gone.wav")));
    const auto voice = fake.speech.synthesizers.back();
    theme.reset();
    EXPECT_EQ(fake.systemSounds.liveCount(), 0u);
    EXPECT_FALSE(voice->alive);
}

}  // namespace
}  // namespace plinka
