#include "tools/theme/TypingSchedule.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/linux/input/KeyMap.h"

namespace plinka::themetool {
namespace {

TEST(TypingSchedule, TypesAtANaturalPaceWithShiftAroundCapitals) {
    const auto events = typingSchedule("Hello, World!", 5);
    EXPECT_EQ(events, typingSchedule("Hello, World!", 5));
    const int shift = *keyCodeForName("shift");

    std::map<int, double> downAt;
    std::vector<double> downs;
    bool shiftDown = false;
    int shiftPresses = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const auto& event = events[i];
        if (i > 0) {
            EXPECT_GE(event.time, events[i - 1].time);
        }
        if (event.keyCode == shift) {
            EXPECT_NE(shiftDown, event.state == 1) << "shift pressed twice or released unpressed";
            shiftDown = event.state == 1;
            shiftPresses += event.state;
            continue;
        }
        if (event.state == 1) {
            EXPECT_FALSE(downAt.contains(event.keyCode)) << "pressed again before it was up";
            downAt[event.keyCode] = event.time;
            downs.push_back(event.time);
            // H, W and ! are typed with Shift held.
            const bool shifted = event.keyCode == *keyCodeForName("h") ||
                                 event.keyCode == *keyCodeForName("w") ||
                                 (event.keyCode == *keyCodeForName("1"));
            EXPECT_EQ(shiftDown, shifted) << event.keyCode;
        } else {
            ASSERT_TRUE(downAt.contains(event.keyCode));
            const double hold = event.time - downAt[event.keyCode];
            EXPECT_GE(hold, 0.080 - 1e-9);
            EXPECT_LE(hold, 0.120 + 1e-9);
            downAt.erase(event.keyCode);
        }
    }
    EXPECT_TRUE(downAt.empty());
    EXPECT_FALSE(shiftDown);
    EXPECT_EQ(shiftPresses, 3);
    ASSERT_EQ(downs.size(), 13u);
    const double rate = static_cast<double>(downs.size() - 1) / (downs.back() - downs.front());
    EXPECT_GT(rate, 6.5);  // Shift's lead slows capitals a little
    EXPECT_LT(rate, 10.0 + 1e-9);
}

TEST(TypingSchedule, LeavesOutWhatNoKeyTypes) {
    EXPECT_TRUE(typingSchedule("\x01\xC3\xA9", 1).empty());
    EXPECT_EQ(typingSchedule("a\x01", 1).size(), 2u);
}

}  // namespace
}  // namespace plinka::themetool
