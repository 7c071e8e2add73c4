// The pure parts of the sound-pack import: config text, names inside a pack, key codes, and how
// a Mechvibes config becomes theme keys.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <set>

#include "platform/linux/input/KeyMap.h"
#include "tools/soundpack/MechvibesDxPack.h"
#include "tools/soundpack/MechvibesPack.h"
#include "tools/soundpack/PackConfig.h"
#include "tools/soundpack/PackFiles.h"
#include "tools/soundpack/PackKeyCodes.h"

namespace plinka::soundpack {
namespace {

TEST(PackConfig, TrailingCommasAndAByteOrderMarkBecomeBlanksOutsideStrings) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"a": [1, 2,], "b": {"c": 1 ,}, })", R"({"a": [1, 2 ], "b": {"c": 1  }  })"},
        {R"({"a": ",]", "b\",}": 1,
})",
         R"({"a": ",]", "b\",}": 1 
})"},
        {"\xEF\xBB\xBF{\"a\": 1}", "   {\"a\": 1}"},
        {R"([1, 2, 3])", R"([1, 2, 3])"},
        {",,]", ", ]"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(blankTrailingCommas(text), expected) << text;
    }
    std::string error;
    const std::string text = "{\"defines\": {\"30\": \"a.wav\",},}";
    const auto config = parsePackConfig({text.begin(), text.end()}, error);
    ASSERT_TRUE(config) << error;
    EXPECT_EQ((*config)["defines"].toObject()["30"].toString(), "a.wav");
}

TEST(PackFiles, NamesStayInsideThePack) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"a.wav", "a.wav"},
        {"./sounds//a.wav", "sounds/a.wav"},
        {"sounds\\a.wav", "sounds/a.wav"},
        {"sounds/../a.wav", "a.wav"},
        {"../a.wav", std::nullopt},
        {"sounds/../../a.wav", std::nullopt},
        {"..\\a.wav", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"\\etc\\passwd", std::nullopt},
        {"", ""},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(normalizedPackPath(name), expected) << name;
    }
}

TEST(PackKeyCodes, MechvibesCodesReachTheKeysTheyName) {
    const std::pair<int, std::string_view> cases[] = {
        {1, "escape"},
        {30, "a"},
        {57, "space"},
        {83, "keypad-decimal"},
        {87, "f11"},
        {88, "f12"},
        {3612, "keypad-enter"},
        {3613, "right-control"},
        {3637, "keypad-divide"},
        {3640, "right-option"},
        {3655, "home"},
        {3657, "page-up"},
        {3663, "end"},
        {3665, "page-down"},
        {3666, "help"},
        {3667, "forward-delete"},
        {3675, "command"},
        {3676, "right-command"},
        {3677, "menu"},
        {57416, "up"},
        {57419, "left"},
        {57421, "right"},
        {57424, "down"},
        {61000, "up"},
        {61003, "left"},
        {61005, "right"},
        {61008, "down"},
        {61010, "help"},
        {61011, "forward-delete"},
        {60999, "home"},
        {61007, "end"},
        {61001, "page-up"},
        {61009, "page-down"},
    };
    for (const auto& [code, name] : cases) {
        const auto keyCode = keyCodeForMechvibesCode(code);
        ASSERT_TRUE(keyCode) << code;
        EXPECT_EQ(nameForKeyCode(*keyCode), name) << code;
    }
    // Print Screen and Pause have no key of their own on a Mac: they play as F13 and F15.
    EXPECT_EQ(keyCodeForMechvibesCode(3639), keyCodeForName("f13"));
    EXPECT_EQ(keyCodeForMechvibesCode(3653), keyCodeForName("f15"));
    for (int code : {0, -1, 84, 86, 89, 3600, 57417, 61002, 99999}) {
        EXPECT_EQ(keyCodeForMechvibesCode(code), std::nullopt) << code;
    }
}

QJsonObject json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

int key(std::string_view name) {
    return *keyCodeForName(name);
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

TEST(MechvibesPack, VersionTwoRangesAndDefaults) {
    std::string error;
    const auto plan = planMechvibes(json(R"({"version": 2, "sound": "p/k{1-3}.ogg",
        "soundup": "up.wav", "defines": {"30": "a{2-2}.wav", "31": null, "32": "b{3-1}.wav",
        "33": "c{x-y}.wav", "34": "{1-64}.wav", "35": "{1-65}.wav"}})"),
                                    error);
    ASSERT_TRUE(plan) << error;
    const KeySound variants{{"p/k1.ogg"}, {"p/k2.ogg"}, {"p/k3.ogg"}};
    EXPECT_EQ(plan->keys[1].at(key("a")), KeySound{{"a2.wav"}});
    EXPECT_FALSE(plan->keys[1].contains(key("s")));   // null silences the default
    EXPECT_EQ(plan->keys[1].at(key("d")), variants);  // a bad range leaves the default
    EXPECT_EQ(plan->keys[1].at(key("f")), KeySound{{"c{x-y}.wav"}});
    EXPECT_EQ(plan->keys[1].at(key("g")).size(), 64u);
    EXPECT_EQ(plan->keys[1].at(key("h")), variants);
    EXPECT_EQ(plan->keys[1].at(key("space")), variants);
    EXPECT_EQ(plan->keys[0].at(key("s")), KeySound{{"up.wav"}});
    EXPECT_EQ(plan->keys[1].size(), keyMapEntries().size() - 1);
    EXPECT_EQ(plan->keys[0].size(), keyMapEntries().size());
    EXPECT_EQ(plan->warnings.size(), 2u);
}

TEST(MechvibesPack, ConfigsItCantReadAreRefusedInOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"version": 2.5})",
         "config.json: \"version\" is not 1 or 2, the Mechvibes versions Plinka reads"},
        {R"({"version": "2", "defines": {}})",
         "config.json: \"version\" is not 1 or 2, the Mechvibes versions Plinka reads"},
        {R"({"key_define_type": "many", "defines": {}})",
         "config.json: \"key_define_type\" is neither \"single\" nor \"multi\""},
        {R"({"defines": {"30": [0, 1]}})", "config.json: \"sound\" names no sprite file"},
        {R"({"key_define_type": "multi"})", "config.json: no \"defines\""},
        {R"({"version": 2})", "config.json: no \"defines\""},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(planMechvibes(json(text), error)) << text;
        EXPECT_EQ(error, message) << text;
    }
}

TEST(MechvibesDxPack, KeysByTheirWebNamesAndMouseButtonsByTheirs) {
    std::string error;
    const auto plan = planMechvibesDx(json(R"({"config_version": "2", "audio_file": "s.ogg",
        "options": {"random_pitch": true}, "definitions": {
        "KeyA": {"timing": [[0, 10]]}, "digit1": {"timing": [[0, 10]]},
        "AltLeft": {"timing": [[0, 10]]}, "ArrowUp": {"timing": [[0, 10]]},
        "Numpad7": {"timing": [[0, 10]]}, "IntlBackslash": {"timing": [[0, 10]]},
        "MetaRight": {"timing": [[0, 10]]}, "PrintScreen": {"timing": [[0, 10]]},
        "MouseLeft": {"timing": [[0, 10], [20, 30]]}, "mouseright": {"timing": [[0, 10]]},
        "MouseMiddle": {"timing": [[0, 10]]}, "MouseBack": {"timing": [[0, 10]]},
        "KeyAA": {"timing": [[0, 10]]}, "F24": {"timing": [[0, 10]]}}})"),
                                      error);
    ASSERT_TRUE(plan) << error;
    std::set<std::string_view> pressed;
    for (const auto& [keyCode, sound] : plan->keys[1]) {
        EXPECT_EQ(sound, (KeySound{{"s.ogg", 0.0, 10.0}}));
        pressed.insert(nameForKeyCode(keyCode));
    }
    EXPECT_EQ(pressed, (std::set<std::string_view>{"a", "1", "option", "up", "keypad-7", "section",
                                                   "right-command", "f13"}));
    EXPECT_EQ(plan->mouse[1].size(), 3u);
    EXPECT_EQ(plan->mouse[0], (std::map<int, KeySound>{{0, {{"s.ogg", 20.0, 10.0}}}}));
    EXPECT_EQ(plan->pitchCents, 50);
    EXPECT_EQ(plan->warnings,
              std::vector<std::string>{
                  "no key or mouse button is named F24, KeyAA, MouseBack; left out"});

    const std::pair<std::string, std::string> refused[] = {
        {R"({"config_version": "3"})",
         "config.json: \"config_version\" is not 1 or 2, the MechvibesDX versions Plinka reads"},
        {R"({"config_version": "2", "definition_method": "both"})",
         "config.json: \"definition_method\" is neither \"single\" nor \"multi\""},
        {R"({"config_version": "2", "definitions": {}})",
         "config.json: \"audio_file\" names no sound file"},
        {R"({"config_version": 2, "definition_method": "multi"})",
         "config.json: no \"definitions\""},
    };
    for (const auto& [text, message] : refused) {
        EXPECT_FALSE(planMechvibesDx(json(text), error)) << text;
        EXPECT_EQ(error, message) << text;
    }
}

}  // namespace
}  // namespace plinka::soundpack
