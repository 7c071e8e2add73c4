// The MechvibesDX reader alone: keys and mouse buttons by their names in the browsers' terms (the
// configs it refuses are in tests/corpus).
#include <gtest/gtest.h>

#include <QJsonDocument>

#include <set>

#include "TestFiles.h"
#include "platform/linux/input/KeyMap.h"
#include "tools/soundpack/MechvibesDxPack.h"

namespace plinka::soundpack {
namespace {

// data/dx-names.json names keys and buttons every way browsers do, and some no key has.
TEST(MechvibesDxPack, KeysByTheirWebNamesAndMouseButtonsByTheirs) {
    std::string error;
    const auto plan = planMechvibesDx(
        QJsonDocument::fromJson(QByteArray::fromStdString(testing::fileContents(
                                    PLINKA_SOURCE_DIR "/tests/tools/data/dx-names.json")))
            .object(),
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
