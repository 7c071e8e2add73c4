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

TEST(KeyMap, EveryLetterAndDigitIsPresent) {
    for (char c : std::string("abcdefghijklmnopqrstuvwxyz0123456789")) {
        EXPECT_TRUE(keyCodeForName(std::string(1, c))) << c;
    }
}

TEST(KeyMap, KnownPositionsMatchTheMacTable) {
    const std::pair<int, int> known[] = {
        {KEY_A, 0x00},         {KEY_B, 0x0B},         {KEY_Q, 0x0C},          {KEY_5, 0x17},
        {KEY_6, 0x16},         {KEY_0, 0x1D},         {KEY_ENTER, 0x24},      {KEY_TAB, 0x30},
        {KEY_SPACE, 0x31},     {KEY_BACKSPACE, 0x33}, {KEY_ESC, 0x35},        {KEY_LEFTMETA, 0x37},
        {KEY_RIGHTMETA, 0x36}, {KEY_LEFTSHIFT, 0x38}, {KEY_RIGHTSHIFT, 0x3C}, {KEY_LEFTALT, 0x3A},
        {KEY_RIGHTCTRL, 0x3E}, {KEY_F1, 0x7A},        {KEY_F12, 0x6F},        {KEY_DELETE, 0x75},
        {KEY_HOME, 0x73},      {KEY_PAGEDOWN, 0x79},  {KEY_LEFT, 0x7B},       {KEY_UP, 0x7E},
        {KEY_KP0, 0x52},       {KEY_KPENTER, 0x4C}};
    for (const auto& [evdevCode, keyCode] : known) {
        EXPECT_EQ(keyCodeForEvdevCode(evdevCode), keyCode) << evdevCode;
    }
}

TEST(KeyMap, PcKeysFallOnTheirMacEquivalentsWithoutTakingTheirReverse) {
    EXPECT_EQ(keyCodeForEvdevCode(KEY_SYSRQ), keyCodeForEvdevCode(KEY_F13));
    EXPECT_EQ(keyCodeForEvdevCode(KEY_PAUSE), keyCodeForEvdevCode(KEY_F15));
    EXPECT_EQ(evdevCodeForKeyCode(0x69), KEY_F13);
    EXPECT_FALSE(keyCodeForEvdevCode(KEY_POWER));
    EXPECT_FALSE(evdevCodeForKeyCode(0x34));
    EXPECT_FALSE(evdevCodeForKeyCode(254));
    EXPECT_TRUE(nameForKeyCode(254).empty());
}

TEST(KeyMap, NamesIgnoreCaseAndKnowCommonAliases) {
    EXPECT_EQ(keyCodeForName("SPACE"), 0x31);
    EXPECT_EQ(keyCodeForName("Enter"), 0x24);
    EXPECT_EQ(keyCodeForName("ctrl"), 0x3B);
    EXPECT_EQ(keyCodeForName("super"), 0x37);
    EXPECT_FALSE(keyCodeForName("hyper"));
    EXPECT_FALSE(keyCodeForName(""));
}

TEST(KeyMap, CharactersTypeOnAUsLayout) {
    auto expectKey = [](char c, std::string_view name, bool shift) {
        const auto key = keyForCharacter(c);
        ASSERT_TRUE(key) << c;
        EXPECT_EQ(key->keyCode, keyCodeForName(name)) << c;
        EXPECT_EQ(key->shift, shift) << c;
    };
    expectKey('a', "a", false);
    expectKey('Q', "q", true);
    expectKey('7', "7", false);
    expectKey('&', "7", true);
    expectKey('?', "slash", true);
    expectKey('"', "quote", true);
    expectKey('~', "grave", true);
    expectKey(' ', "space", false);
    expectKey('\n', "return", false);
    EXPECT_FALSE(keyForCharacter('\x01'));
    EXPECT_FALSE(keyForCharacter('\xE9'));
}

}  // namespace
}  // namespace plinka
