// Packs of each format, made by the test around the configs in data/packs, imported and heard
// through the real sound controller and mixer.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "platform/linux/input/KeyMap.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "tools/SoundPackMaker.h"
#include "tools/ThemeSlots.h"
#include "tools/soundpack/SoundPackImport.h"
#include "tools/theme/Preview.h"
#include "tools/theme/ThemeFiles.h"
#include "tools/theme/ToolPlatform.h"
#include "tools/theme/TypingSchedule.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using themetool::ToolPlatform;

// Each key's press and release are tones of their own; a set holds the tones of variants, an
// empty set means silence.
struct KeyTones {
    std::set<double> press;
    std::set<double> release;
};

struct PackCase {
    std::string name;
    std::string format;
    std::map<std::string, KeyTones> keys;
    // What else the imported theme and its report must show.
    std::function<void(const SoundTheme&, const soundpack::PackReport&)> check;
    soundpack::ImportOptions options = {};
    std::vector<std::string> warnings = {};
};

// Writes the sounds a pack's list (data/packs/NAME.tones) names, one file a line: its name,
// rate, channels, each tone's length and the silence after it (ms), then its tones in order.
void writeSounds(const fs::path& pack, const fs::path& list) {
    const std::map<fs::path, int> formats{{".ogg", oggFormat()},
                                          {".flac", flacFormat()},
                                          {".mp3", mp3Format()},
                                          {".wav", wavFormat()}};
    std::ifstream lines(list);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string name;
        int rate = 0;
        int channels = 0;
        double ms = 0;
        double gapMs = 0;
        if (line.starts_with('#') || !(fields >> name >> rate >> channels >> ms >> gapMs)) {
            continue;
        }
        std::vector<float> samples;
        for (double tone = 0; fields >> tone;) {
            const auto burst = toneBurst(tone, ms, rate, channels);
            samples.insert(samples.end(), burst.begin(), burst.end());
            samples.insert(samples.end(), static_cast<size_t>(gapMs * rate / 1000 * channels),
                           0.0f);
        }
        writeSamples(pack / name, formats.at(fs::path(name).extension()), rate, channels, samples);
    }
}

const std::map<std::string, KeyTones> kFourKeys{
    {"a", {{500}, {1300}}}, {"s", {{700}, {1500}}}, {"d", {{900}, {}}}, {"f", {{1100}, {}}}};

const std::vector<PackCase>& packCases() {
    static const std::vector<PackCase> cases{
        {"MechvibesOneSprite", "Mechvibes 1, one sprite", kFourKeys,
         [](const SoundTheme& theme, const soundpack::PackReport& report) {
             EXPECT_EQ(theme.name(), "Sprite Pack");
             EXPECT_EQ(report.sounds, 6u);
             EXPECT_EQ(slot(theme, 1, key("g")).type(), Object::Type::Null);  // defined null
         }},
        {"MechvibesOneMulti", "Mechvibes 1, one file per key", kFourKeys,
         [](const SoundTheme& theme, const soundpack::PackReport&) {
             // The plain arrow code wins over the Windows one; MP3 decodes.
             const auto* up = slot(theme, 1, key("up")).as<Sound>();
             ASSERT_TRUE(up);
             EXPECT_EQ(up->name(), "arrow.wav");
             EXPECT_EQ(slot(theme, 0, key("up")).type(), Object::Type::Null);
         }},
        {"MechvibesTwo",
         "Mechvibes 2",
         {{"a", {{500}, {1300}}},
          {"s", {{700, 900, 1100}, {1500}}},
          {"d", {{700, 900, 1100}, {1300}}},
          {"f", {{700, 900, 1100}, {1300}}}},
         [](const SoundTheme& theme, const soundpack::PackReport& report) {
             EXPECT_EQ(report.sounds, 6u);
             // The defaults reach every key without a define, as one shared array and Sound.
             EXPECT_EQ(slot(theme, 1, key("s")), slot(theme, 1, key("space")));
             EXPECT_EQ(slot(theme, 1, key("s")), slot(theme, 1, key("keypad-enter")));
             EXPECT_EQ(slot(theme, 0, key("d")).as<Sound>(),
                       slot(theme, 0, key("f12")).as<Sound>());
         }},
        {"MechvibesDxSprite", "MechvibesDX, one sprite", kFourKeys,
         [](const SoundTheme& theme, const soundpack::PackReport& report) {
             EXPECT_EQ(theme.name(), "DX Sprite");
             EXPECT_EQ(theme.pitchVariation(), 20);
             EXPECT_EQ(report.pitchCents, 20);
             // Six slices of 40 ms: the timings are [start, end], and the left button's are a's.
             EXPECT_EQ(report.sounds, 6u);
             EXPECT_NEAR(report.seconds, 0.24, 0.001);
             // The left button's press and release are mouse slots holding a's very sounds.
             EXPECT_EQ(report.buttonSounds, 2u);
             const auto* mouse = theme.mouseSounds().arrayValue();
             ASSERT_TRUE(mouse && mouse->size() == 2u);
             for (int state : {0, 1}) {
                 const auto& buttons = *(*mouse)[static_cast<size_t>(state)].arrayValue();
                 EXPECT_EQ(buttons.at(0).as<Sound>(), slot(theme, state, key("a")).as<Sound>());
             }
         }},
        {"MechvibesDxMulti", "MechvibesDX, one file per key", kFourKeys,
         [](const SoundTheme& theme, const soundpack::PackReport&) {
             EXPECT_EQ(theme.pitchVariation(), 0);
         }},
        {"SplitRelease",
         "Mechvibes 1, one sprite",
         {{"a", {{500}, {1300}}},
          {"s", {{700}, {1500}}},
          {"d", {{900}, {300}}},
          {"f", {{1100}, {1200}}}},
         [](const SoundTheme&, const soundpack::PackReport& report) {
             EXPECT_EQ(report.releaseKeys, 4u);
         },
         {.splitRelease = true}},
        {"Bucklespring",
         "bucklespring",
         kFourKeys,
         [](const SoundTheme&, const soundpack::PackReport&) {},
         {},
         {"no key for f0-1.wav; left out"}},
    };
    return cases;
}

void PrintTo(const PackCase& pack, std::ostream* out) {
    *out << pack.name;
}

// The tone among all the pack's tones that sounds strongest over the 15 ms from `time`; 0 when
// the mix is silent there.
double toneAt(const synth::Audio& audio, double time, const std::set<double>& tones) {
    const auto from = static_cast<size_t>((time + 0.001) * audio.sampleRate);
    const auto count = static_cast<size_t>(0.015 * audio.sampleRate);
    double best = 0;
    double bestStrength = 1e-5;
    for (double tone : tones) {
        const double strength =
            toneStrength(audio.samples, audio.channels, audio.sampleRate, from, count, tone);
        if (strength > bestStrength) {
            best = tone;
            bestStrength = strength;
        }
    }
    return best;
}

// Zipped packs are read by the same code once unpacked; tests/corpus imports zips.
class SoundPackImport : public ::testing::TestWithParam<PackCase> {};

TEST_P(SoundPackImport, EachKeyPlaysItsOwnSoundsInTheMix) {
    const PackCase& pack = GetParam();
    ScratchDirectory scratch;
    const fs::path source = scratch.path() / pack.name;
    const fs::path data = PLINKA_SOURCE_DIR "/tests/tools/data/packs/" + pack.name;
    fs::copy(data, source);
    writeSounds(source, data.string() + ".tones");

    ToolPlatform tool({PLINKA_BUNDLE_DIR});
    std::string error;
    const auto imported =
        soundpack::importSoundPack(source, std::nullopt, pack.options, tool.platform(), error);
    ASSERT_TRUE(imported) << error;
    EXPECT_EQ(imported->report.format, pack.format);
    const fs::path themeFile = scratch.path() / "theme.plnk";
    writeFile(themeFile, imported->bytes);

    // Every key of the pack has its place; the sample is a key's own sound.
    const auto theme = themetool::loadThemeFile(themeFile, tool.platform(), error);
    ASSERT_TRUE(theme) << error;
    for (const auto& [name, tones] : pack.keys) {
        SCOPED_TRACE(name);
        const Object& press = slot(*theme, 1, key(name));
        EXPECT_EQ(press.arrayValue()  ? press.arrayValue()->size()
                  : press.as<Sound>() ? 1
                                      : 0,
                  tones.press.size());
        EXPECT_EQ(slot(*theme, 0, key(name)).type() == Object::Type::Null, tones.release.empty());
    }
    EXPECT_EQ(slot(*theme, 1, SoundTheme::kSampleKeyCode), slot(*theme, 1, key("a")));
    EXPECT_EQ(imported->report.warnings, pack.warnings);
    pack.check(*theme, imported->report);

    // Typed through the real controller and mixer: each isolated key event sounds its own tone
    // (or nothing, for a silent release).
    std::set<double> allTones{300, 1200};
    for (const auto& [name, tones] : pack.keys) {
        allTones.insert(tones.press.begin(), tones.press.end());
        allTones.insert(tones.release.begin(), tones.release.end());
    }
    const std::string text = "asdf fads sad dafs ads fad sass dads";
    const auto audio = themetool::renderPreview(tool, themeFile, text, 5, error);
    ASSERT_TRUE(audio) << error;
    const auto events = themetool::typingSchedule(text, 5);
    size_t checked = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const auto& event = events[i];
        const auto name = std::string(nameForKeyCode(event.keyCode));
        const bool alone = (i == 0 || event.time - events[i - 1].time > 0.045) &&
                           (i + 1 == events.size() || events[i + 1].time - event.time > 0.02);
        if (!pack.keys.contains(name) || !alone) {
            continue;
        }
        const auto& expected =
            event.state == 1 ? pack.keys.at(name).press : pack.keys.at(name).release;
        const double heard = toneAt(*audio, event.time, allTones);
        if (expected.empty()) {
            EXPECT_EQ(heard, 0) << name << " up at " << event.time;
        } else {
            EXPECT_TRUE(expected.contains(heard)) << name << (event.state == 1 ? " down" : " up")
                                                  << " at " << event.time << " sounds " << heard;
        }
        ++checked;
    }
    EXPECT_GE(checked, 12u);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundPackImport, ::testing::ValuesIn(packCases()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace plinka::testing
