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
using ::testing::IsEmpty;

class SoundThemeTest : public ::testing::Test {
  protected:
    std::shared_ptr<Sound> soundOf(const std::string& file) {
        return Sound::initWithContentsOfURL("file:///sounds/" + file, fake.platform);
    }
    // A theme whose key `keyCode` holds `down` when it goes down and `up` when it comes up.
    std::shared_ptr<SoundTheme> themeWith(int keyCode, Object down, Object up = Object::null()) {
        Object::Array rows[2] = {Object::Array(SoundTheme::kSlotCount, Object::null()),
                                 Object::Array(SoundTheme::kSlotCount, Object::null())};
        rows[1][static_cast<size_t>(keyCode)] = std::move(down);
        rows[0][static_cast<size_t>(keyCode)] = std::move(up);
        return SoundTheme::themeWithSounds(
            Object::array({Object::array(rows[0]), Object::array(rows[1])}), "Test", fake.platform);
    }
    std::vector<SystemSoundID> played() const { return fake.systemSounds.played; }

    FakePlatform fake;
};

TEST_F(SoundThemeTest, EachStateOfAKeyPlaysItsOwnSlotAndOffPlaysNothing) {
    auto down = soundOf("down.wav");
    auto up = soundOf("up.wav");
    auto theme = themeWith(0, Object::instance(down), Object::instance(up));
    theme->playSoundForKeyCode(0, 1);
    theme->playSoundForKeyCode(0, 0);
    theme->playSoundForKeyCode(1, 1);
    EXPECT_THAT(played(), ElementsAre(down->soundID(), up->soundID()));

    auto off = SoundTheme::init(fake.platform);
    for (int state : {0, 1}) {
        for (int key = 0; key < SoundTheme::kSlotCount; ++key) {
            off->playSoundForKeyCode(key, state);
        }
    }
    EXPECT_EQ(played().size(), 2u);
    EXPECT_THAT(fake.log.lines(), IsEmpty());
}

// Playback writes nothing about a key: that would log what the user types.
TEST_F(SoundThemeTest, KeysPastTheTableAndSlotsOfNoSoundAreSilentAndUnlogged) {
    auto sound = soundOf("sample.wav");
    auto theme = themeWith(254, Object::instance(sound));
    theme->playSoundForKeyCode(254, 1);
    EXPECT_THAT(played(), ElementsAre(sound->soundID()));
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
    EXPECT_EQ(played().size(), 1u);
    EXPECT_THAT(fake.log.lines(), IsEmpty());
}

// The pick is the random number modulo the count, unsigned; what is picked is not tested again
// for being a variant.
TEST_F(SoundThemeTest, VariantsArePickedAtRandomModuloTheirCount) {
    auto a = soundOf("a.wav");
    auto b = soundOf("b.wav");
    auto theme = themeWith(
        3, Object::array({Object::instance(a), Object::instance(b), Object::string("say")}));
    fake.random.numbers = {0, 4, 0xFFFFFFFFu, 5};
    for (int i = 0; i < 4; ++i) {
        theme->playSoundForKeyCode(3, 1);
    }
    EXPECT_THAT(played(), ElementsAre(a->soundID(), b->soundID(), a->soundID()));
    EXPECT_TRUE(fake.speech.synthesizers.back()->spoken.empty());
}

TEST_F(SoundThemeTest, StringsAreSpokenAndANewOneCutsOffTheLast) {
    auto theme = themeWith(0, Object::string("a"), Object::string("b"));
    theme->playSoundForKeyCode(0, 1);
    theme->playSoundForKeyCode(0, 0);
    const auto& voice = *fake.speech.synthesizers.back();
    EXPECT_THAT(voice.spoken, ElementsAre("a", "b"));
    EXPECT_THAT(voice.cutOff, ElementsAre("a"));
    EXPECT_THAT(played(), IsEmpty());
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
    EXPECT_THAT(played(), ElementsAre(click->soundID()));
    EXPECT_THAT(fake.speech.synthesizers.back()->spoken, ElementsAre("up"));
    EXPECT_THAT(fake.log.lines(), ::testing::IsEmpty());
}

TEST_F(SoundThemeTest, PlaybackOffTheMainThreadIsRefused) {
    auto theme = themeWith(1, Object::instance(soundOf("k.wav")));
    std::thread([&] { theme->playSoundForKeyCode(1, 1); }).join();
    EXPECT_THAT(played(), IsEmpty());
    EXPECT_THAT(fake.log.lines(), ElementsAre("Sounds must be played on the main thread"));
}

}  // namespace
}  // namespace plinka
