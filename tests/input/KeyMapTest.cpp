#include "platform/linux/input/KeyMap.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace plinka {
namespace {

TEST(KeyMap, EveryEntryRoundTripsAndNothingIsMappedTwice) {
    std::set<int> evdevCodes, keyCodes;
    std::set<std::string> names;
    for (const auto& key : keyMapEntries()) {
        EXPECT_TRUE(evdevCodes.insert(key.evdevCode).second) << key.name;
        EXPECT_TRUE(keyCodes.insert(key.keyCode).second) << key.name;
        EXPECT_TRUE(names.insert(std::string(key.name)).second) << key.name;
        EXPECT_LT(key.keyCode, 254) << key.name;  // 254 is the theme's sample slot
        EXPECT_EQ(keyCodeForEvdevCode(key.evdevCode), key.keyCode) << key.name;
        EXPECT_EQ(evdevCodeForKeyCode(key.keyCode), key.evdevCode) << key.name;
        EXPECT_EQ(keyCodeForName(key.name), key.keyCode) << key.name;
        EXPECT_EQ(nameForKeyCode(key.keyCode), key.name);
    }
}

// A few positions of the Mac table the themes are made for, and how PC keys fall on it.
TEST(KeyMap, KeysFallOnTheMacTablesPositions) {
    const std::pair<int, int> known[] = {
        {KEY_A, 0x00},       {KEY_Q, 0x0C},        {KEY_0, 0x1D},         {KEY_ENTER, 0x24},
        {KEY_SPACE, 0x31},   {KEY_LEFTMETA, 0x37}, {KEY_RIGHTCTRL, 0x3E}, {KEY_F12, 0x6F},
        {KEY_KPENTER, 0x4C}, {KEY_UP, 0x7E},       {KEY_SYSRQ, 0x69},     {KEY_PAUSE, 0x71},
    };
    for (const auto& [evdevCode, keyCode] : known) {
        EXPECT_EQ(keyCodeForEvdevCode(evdevCode), keyCode) << evdevCode;
    }
    EXPECT_EQ(evdevCodeForKeyCode(0x69), KEY_F13) << "F13 is not taken for Print Screen";
    EXPECT_FALSE(keyCodeForEvdevCode(KEY_POWER));
    EXPECT_FALSE(evdevCodeForKeyCode(254));
    for (const auto& [name, keyCode] : std::initializer_list<std::pair<std::string, int>>{
             {"SPACE", 0x31}, {"Enter", 0x24}, {"ctrl", 0x3B}, {"super", 0x37}}) {
        EXPECT_EQ(keyCodeForName(name), keyCode) << name;
    }
    EXPECT_FALSE(keyCodeForName("hyper"));
}

}  // namespace
}  // namespace plinka
