// How each key's sound is placed: where its key sits and how its pitch varies, from what the theme
// file asks for and what the user's defaults say.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakePlatform.h"
#include "doubles/FakeUserDefaults.h"
#include "sound/AudioKeepAlive.h"
#include "sound/PlaybackPreferences.h"
#include "sound/Sound.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"

namespace plinka {
namespace {

using ::testing::ElementsAreArray;
using testing::FakePlatform;
using testing::FakeUserDefaults;

constexpr int kQ = 0x0C;        // left of the middle
constexpr int kBracket = 0x1E;  // "]", right of it
constexpr int kSample = 254;    // no key

struct PlacementCase {
    std::string name;
    Object themeStereo;  // what the theme file holds (Nil: nothing)
    Object themePitch;
    Object stereoDefault;  // what the user's defaults hold (Nil: nothing)
    Object pitchDefault;
    bool panned;
    int cents;  // how far the pitch varies either way
    std::vector<std::string> log;
};

void PrintTo(const PlacementCase& test, std::ostream* out) {
    *out << test.name;
}

const Object kNil;
const Object yes = Object::boolean(true);
const Object no = Object::boolean(false);
Object number(int64_t value) {
    return Object::integer(value);
}

class Placement : public ::testing::TestWithParam<PlacementCase> {
  protected:
    Placement() {
        fake.bundle.addResource("", "silence", "wav", "/b/silence.wav");
        defaults.registerDefaults(Object::dictionary({{Object::string("stereoPosition"), yes}}));
    }
    // The file's sound goes before the service that made it.
    ~Placement() override { fake.archives.files.clear(); }
    // A theme file "T" whose every key plays one sound, with the given keys in its record.
    void addTheme(const Object& stereo, const Object& pitch) {
        const auto sound = Sound::initWithContentsOfURL("file:///s/click.wav", fake.platform);
        const Object row =
            Object::array(Object::Array(SoundTheme::kSlotCount, Object::instance(sound)));
        Object::Dictionary record{{Object::string("sounds"), Object::array({row, row})},
                                  {Object::string("name"), Object::string("T")}};
        if (!stereo.isNil()) {
            record.emplace_back(Object::string("stereoPosition"), stereo);
        }
        if (!pitch.isNil()) {
            record.emplace_back(Object::string("pitchVariation"), pitch);
        }
        fake.bundle.addResource("KeySoundThemes", "T", "plnk", "/b/T.plnk");
        fake.archives.addRecordFile("/b/T.plnk", "SoundTheme", Object::dictionary(record));
    }
    // The placement of one press of the key.
    SoundPlacement press(int keyCode) {
        controller.playSoundForKeyCode(keyCode, 1);
        return fake.systemSounds.placements.back();
    }
    // Many presses vary the pitch over the whole range either way, and no further.
    void expectPitchesVaryBy(int cents) {
        float lowest = 0;
        float highest = 0;
        for (int i = 0; i < 100; ++i) {
            lowest = std::min(lowest, press(kQ).pitchCents);
            highest = std::max(highest, press(kQ).pitchCents);
        }
        EXPECT_GE(lowest, -cents);
        EXPECT_LE(highest, cents);
        EXPECT_GE(highest - lowest, 1.8f * static_cast<float>(cents));
    }

    FakePlatform fake;
    FakeUserDefaults defaults;
    AudioKeepAlive keepAlive{fake.platform};
    SoundController controller{fake.platform, keepAlive};
};

TEST_P(Placement, FollowsTheKeyTheThemeAndTheUser) {
    const auto& test = GetParam();
    addTheme(test.themeStereo, test.themePitch);
    if (!test.stereoDefault.isNil()) {
        defaults.setObject(test.stereoDefault, "stereoPosition");
    }
    if (!test.pitchDefault.isNil()) {
        defaults.setObject(test.pitchDefault, "pitchVariation");
    }
    ASSERT_TRUE(controller.setThemeByName("T"));
    PlaybackPreferences preferences(defaults, controller, fake.log);

    EXPECT_EQ(press(kQ).pan < 0, test.panned);
    EXPECT_EQ(press(kBracket).pan > 0, test.panned);
    EXPECT_EQ(press(kSample).pan, 0.0f);
    expectPitchesVaryBy(test.cents);
    EXPECT_THAT(fake.log.lines(), ElementsAreArray(test.log));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlacementCase{"UserTurnsStereoOff", yes, kNil, no, kNil, false, 0, {}},
        PlacementCase{"UserPitchOfNoneWins", kNil, number(40), kNil, number(0), true, 0, {}},
        PlacementCase{"CommandLineWords",
                      kNil,
                      kNil,
                      Object::string("NO"),
                      Object::string("25"),
                      false,
                      25,
                      {}},
        PlacementCase{"ThemePitchOutOfRange",
                      kNil,
                      number(150),
                      kNil,
                      kNil,
                      true,
                      100,
                      {"The theme T asks for a pitch variation of 150 cents, outside 0 to 100; it "
                       "plays with 100"}},
        PlacementCase{"UserPitchOutOfRange",
                      kNil,
                      kNil,
                      kNil,
                      Object::real(-7.5),
                      true,
                      0,
                      {"The preference pitchVariation is -7.5 cents, outside 0 to 100; 0 applies"}},
        PlacementCase{"WrongTypesAreRefused",
                      kNil,
                      number(40),
                      Object::string("maybe"),
                      yes,
                      true,
                      40,
                      {"The preference stereoPosition is maybe, neither YES nor NO; sounds are "
                       "placed by key",
                       "The preference pitchVariation is YES, not a number of cents; each theme's "
                       "own applies"}}),
    [](const auto& test) { return test.param.name; });

TEST_F(Placement, ChangesMadeOutsideApplyAtTheNextKeyAndStayAcrossThemes) {
    addTheme(kNil, number(40));
    PlaybackPreferences preferences(defaults, controller, fake.log);
    defaults.simulateOutsideChange("pitchVariation", number(30));
    defaults.simulateOutsideChange("stereoPosition", no);
    ASSERT_TRUE(controller.setThemeByName("T"));
    expectPitchesVaryBy(30);
    EXPECT_EQ(press(kQ).pan, 0.0f);
    defaults.simulateOutsideChange("pitchVariation", kNil);
    expectPitchesVaryBy(40);
}

}  // namespace
}  // namespace plinka
