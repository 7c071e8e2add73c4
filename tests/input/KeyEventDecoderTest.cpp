// Key events of one or more keyboards decoded into tap events: theme key codes, the repeat
// mark, and the flags word that the modifier keys make.
#include <gtest/gtest.h>

#include "TapHarness.h"
#include "platform/linux/input/KeyEventDecoder.h"

namespace plinka::testing {
namespace {

constexpr int kRelease = KeyEventDecoder::kRelease;
constexpr int kPress = KeyEventDecoder::kPress;
constexpr int kRepeat = KeyEventDecoder::kRepeat;

std::optional<Seen> seen(const std::optional<CGEvent>& event) {
    if (!event) {
        return std::nullopt;
    }
    return Seen{event->type, event->keycode, event->flags, event->autorepeat, event->buttonNumber};
}

class KeyEventDecoderTest : public ::testing::Test {
  protected:
    std::optional<Seen> decode(int code, int value) { return seen(keyboard.decode(code, value)); }

    ModifierFlags modifiers;
    KeyEventDecoder keyboard{modifiers};
};

// Keys go down, repeat and up with theme key codes; keys without one and codes out of range make
// nothing. The buttons that sound go down and up once each; the others (side, extra, a pen's)
// never.
TEST_F(KeyEventDecoderTest, KeysAndMouseButtonsGoDownAndUpWithTheirCodes) {
    const CGEventFlags shift = kCGEventFlagMaskShift | kDeviceLeftShift;
    const std::pair<std::pair<int, int>, std::optional<Seen>> events[] = {
        {{KEY_A, kPress}, Seen{kCGEventKeyDown, 0x00, 0, 0}},
        {{KEY_A, kRepeat}, Seen{kCGEventKeyDown, 0x00, 0, 1}},
        // A press of a key already down (as X11 reports repeats) is a repeat too.
        {{KEY_A, kPress}, Seen{kCGEventKeyDown, 0x00, 0, 1}},
        {{KEY_A, kRelease}, Seen{kCGEventKeyUp, 0x00, 0, 0}},
        // A release the decoder never saw pressed (held before it started) still goes up.
        {{KEY_ENTER, kRelease}, Seen{kCGEventKeyUp, 0x24, 0, 0}},
        {{KEY_KP5, kRelease}, Seen{kCGEventKeyUp, 0x57, 0, 0}},
        {{KEY_POWER, kPress}, std::nullopt},
        {{-1, kPress}, std::nullopt},
        {{KEY_CNT, kPress}, std::nullopt},
        {{100000, kRelease}, std::nullopt},
        {{BTN_LEFT, kPress}, mouse(kLeftMouseButton, true)},
        {{BTN_LEFT, kPress}, std::nullopt},
        {{BTN_RIGHT, kPress}, mouse(kRightMouseButton, true)},
        {{BTN_LEFT, kRelease}, mouse(kLeftMouseButton, false)},
        {{BTN_LEFT, kRelease}, std::nullopt},
        {{KEY_LEFTSHIFT, kPress}, flagsChanged(0x38, shift)},
        {{BTN_MIDDLE, kPress}, mouse(kMiddleMouseButton, true, shift)},
        {{BTN_SIDE, kPress}, std::nullopt},
        {{BTN_EXTRA, kRelease}, std::nullopt},
        {{BTN_STYLUS, kPress}, std::nullopt},
    };
    for (const auto& [input, made] : events) {
        SCOPED_TRACE(std::to_string(input.first) + " " + std::to_string(input.second));
        EXPECT_EQ(decode(input.first, input.second), made);
    }
    // A mouse that goes away lets go of its buttons.
    std::vector<Seen> released;
    for (const auto& event : keyboard.releaseAll()) {
        released.push_back(*seen(event));
    }
    EXPECT_EQ(released, (std::vector<Seen>{flagsChanged(0x38, 0), mouse(kRightMouseButton, false),
                                           mouse(kMiddleMouseButton, false)}));
}

TEST_F(KeyEventDecoderTest, EachModifierSetsItsBitAndItsSidesBitAsFlagsChanged) {
    struct Case {
        int code;
        int64_t keyCode;
        CGEventFlags flags;
    };
    const Case cases[] = {
        {KEY_LEFTSHIFT, 0x38, kCGEventFlagMaskShift | kDeviceLeftShift},
        {KEY_RIGHTSHIFT, 0x3C, kCGEventFlagMaskShift | kDeviceRightShift},
        {KEY_LEFTCTRL, 0x3B, kCGEventFlagMaskControl | kDeviceLeftControl},
        {KEY_RIGHTCTRL, 0x3E, kCGEventFlagMaskControl | kDeviceRightControl},
        {KEY_LEFTALT, 0x3A, kCGEventFlagMaskAlternate | kDeviceLeftAlternate},
        {KEY_RIGHTALT, 0x3D, kCGEventFlagMaskAlternate | kDeviceRightAlternate},
        {KEY_LEFTMETA, 0x37, kCGEventFlagMaskCommand | kDeviceLeftCommand},
        {KEY_RIGHTMETA, 0x36, kCGEventFlagMaskCommand | kDeviceRightCommand},
        {KEY_FN, 0x3F, kCGEventFlagMaskSecondaryFn},
    };
    for (const auto& modifier : cases) {
        SCOPED_TRACE(modifier.code);
        EXPECT_EQ(decode(modifier.code, kPress),
                  (Seen{kCGEventFlagsChanged, modifier.keyCode, modifier.flags, 0}));
        // Modifiers do not repeat.
        EXPECT_EQ(decode(modifier.code, kRepeat), std::nullopt);
        EXPECT_EQ(decode(modifier.code, kPress), std::nullopt);
        EXPECT_EQ(decode(KEY_A, kPress), (Seen{kCGEventKeyDown, 0x00, modifier.flags, 0}));
        EXPECT_EQ(decode(KEY_A, kRelease), (Seen{kCGEventKeyUp, 0x00, modifier.flags, 0}));
        EXPECT_EQ(decode(modifier.code, kRelease),
                  (Seen{kCGEventFlagsChanged, modifier.keyCode, 0, 0}));
        EXPECT_EQ(decode(modifier.code, kRelease), std::nullopt);
    }
}

TEST_F(KeyEventDecoderTest, ResynchronisingTakesOverHeldKeysWithoutEvents) {
    decode(KEY_LEFTSHIFT, kPress);
    decode(KEY_A, kPress);
    KeyEventDecoder::KeySet down;
    down.set(KEY_RIGHTCTRL);
    down.set(KEY_B);
    down.set(KEY_CAPSLOCK);
    keyboard.resynchronise(down);

    EXPECT_EQ(keyboard.held(), down);
    const CGEventFlags control = kCGEventFlagMaskControl | kDeviceRightControl;
    EXPECT_EQ(decode(KEY_B, kPress), (Seen{kCGEventKeyDown, 0x0B, control, 1}));
    EXPECT_EQ(decode(KEY_A, kPress), (Seen{kCGEventKeyDown, 0x00, control, 0}));
    EXPECT_EQ(decode(KEY_RIGHTCTRL, kRelease), (Seen{kCGEventFlagsChanged, 0x3E, 0, 0}));
    // A held Caps Lock key leaves the toggle alone; its release makes nothing.
    EXPECT_EQ(decode(KEY_CAPSLOCK, kRelease), std::nullopt);
    EXPECT_EQ(decode(KEY_CAPSLOCK, kPress)->flags, kCGEventFlagMaskAlphaShift);
}

}  // namespace
}  // namespace plinka::testing
