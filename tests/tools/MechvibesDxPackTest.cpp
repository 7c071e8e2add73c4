// The MechvibesDX reader alone: keys and mouse buttons by their names in the browsers' terms (the
// configs it refuses are in tests/corpus).
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <set>

#include "platform/linux/input/KeyMap.h"
#include "tools/soundpack/MechvibesDxPack.h"

namespace plinka::soundpack {
namespace {

QJsonObject json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
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
}

}  // namespace
}  // namespace plinka::soundpack
