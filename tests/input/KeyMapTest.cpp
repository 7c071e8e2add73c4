#include "platform/linux/input/KeyMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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

}  // namespace
}  // namespace plinka
