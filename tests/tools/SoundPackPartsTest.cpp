// The pure parts of the sound-pack import: config text, key codes, and how a Mechvibes config
// becomes theme keys. Hostile packs are in tests/corpus.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/linux/input/KeyMap.h"
#include "tools/ThemeSlots.h"
#include "tools/soundpack/MechvibesPack.h"
#include "tools/soundpack/PackKeyCodes.h"

namespace plinka::soundpack {
namespace {

using testing::key;

QJsonObject json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST(MechvibesPack, DefinesBecomeKeysAndWhatCantBeTakenIsAWarning) {
    std::string error;
    const auto plan = planMechvibes(json(R"({"key_define_type": "multi", "defines": {
        "61000": "windows.wav", "57416": "up.wav", "30": "a.wav", "30-up": "a-up.wav",
        "31": null, "32": [0, 10], "33": 5, "x": "y.wav", "3600": "z.wav"}})"),
                                    error);
    ASSERT_TRUE(plan) << error;
    EXPECT_EQ(plan->format, "Mechvibes 1, one file per key");
    EXPECT_EQ(plan->keys[1],
              (std::map<int, KeySound>{{key("a"), {{"a.wav"}}}, {key("up"), {{"up.wav"}}}}));
    EXPECT_EQ(plan->keys[0], (std::map<int, KeySound>{{key("a"), {{"a-up.wav"}}}}));
    EXPECT_EQ(plan->warnings,
              (std::vector<std::string>{
                  "\"x\" is not a key code; left out",
                  "key 32 (d): a slice of a sprite, but this pack has none; left out",
                  "key 33 (f): neither a file name nor null; left out",
                  "no key for the codes 3600; left out"}));
}

TEST(MechvibesPack, ConfigsItCantReadAreRefusedInOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"version": "2", "defines": {}})", "\"version\" is not 1 or 2"},
        {R"({"key_define_type": "many", "defines": {}})", "is neither \"single\" nor \"multi\""},
        {R"({"key_define_type": "multi"})", "no \"defines\""},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(planMechvibes(json(text), error)) << text;
        EXPECT_TRUE(error.starts_with("config.json: ") && error.find(message) != std::string::npos)
            << error;
    }
}

}  // namespace
}  // namespace plinka::soundpack
