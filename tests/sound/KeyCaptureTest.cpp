#include "sound/KeyCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Eventually.h"
#include "RecordedKeyboard.h"
#include "ScratchDirectory.h"
#include "doubles/FakeEventTapService.h"
#include "doubles/ManualRunLoop.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/input/KeyMap.h"
#include "platform/linux/input/LinuxEventTapService.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kShift = 56, kRightShift = 60, kControl = 59, kCapsLock = 57;

CGEvent key(CGEventType type, int64_t keyCode, int64_t autorepeat = 0) {
    return CGEvent{type, keyCode, autorepeat, 0};
}
CGEvent flagsChanged(int64_t keyCode, CGEventFlags flags) {
    return CGEvent{kCGEventFlagsChanged, keyCode, 0, flags};
}

// A capture whose receiver notes each event as "down 12" / "up 12" on the main thread.
class KeyCaptureTest : public ::testing::Test {
  protected:
    // What reached the main thread since the last call, after it ran its queue.
    std::vector<std::string> received() {
        runLoop.runPending();
        return std::exchange(events, {});
    }
    // Delivers events as the tap would, on this thread.
    void deliver(const std::vector<CGEvent>& delivered) {
        for (const CGEvent& event : delivered) {
            EXPECT_EQ(KeyCapture::eventTapCallback(nullptr, event.type, &event, &capture), &event);
        }
    }

    KeyCapture captureFrom(EventTapService& service) {
        return KeyCapture(
            runLoop, log, service,
            [this](int32_t keyCode, int state) {
                events.push_back((state == 1 ? "down " : "up ") + std::to_string(keyCode));
            },
            [this](int32_t button, int state) {
                events.push_back((state == 1 ? "click " : "release ") + std::to_string(button));
            },
            [this](const std::string& message) { fatalErrors.push_back(message); });
    }

    testing::ManualRunLoop runLoop;
    testing::RecordingLog log;
    testing::FakeEventTapService taps;
    std::vector<std::string> events;
    std::vector<std::string> fatalErrors;
    KeyCapture capture = captureFrom(taps);
};

TEST_F(KeyCaptureTest, HeldKeySoundsOnceDownAndOnceUp) {
    deliver({key(kCGEventKeyDown, 0), key(kCGEventKeyDown, 0, 1), key(kCGEventKeyDown, 0, 1),
             key(kCGEventKeyUp, 0), key(kCGEventKeyDown, 49), key(kCGEventKeyUp, 49)});
    EXPECT_THAT(received(), ElementsAre("down 0", "up 0", "down 49", "up 49"));
}

// A modifier sounds only when its bit changes: both shifts share one, Caps Lock goes down at one
// press and up at the next, and one flags event sends at most one down then one up.
TEST_F(KeyCaptureTest, ModifiersSoundOnlyWhenTheirBitChanges) {
    const CGEventFlags left = kCGEventFlagMaskShift | kDeviceLeftShift;
    const CGEventFlags right = kCGEventFlagMaskShift | kDeviceRightShift;
    const std::pair<std::vector<CGEvent>, std::vector<std::string>> cases[] = {
        // The first is released, but its press came before the tap.
        {{flagsChanged(kShift, 0), flagsChanged(kShift, left),
          flagsChanged(kRightShift, left | right), flagsChanged(kShift, right),
          flagsChanged(kRightShift, 0)},
         {"down 56", "up 60"}},
        {{flagsChanged(kShift, left), flagsChanged(kRightShift, left | right),
          flagsChanged(kRightShift, left), flagsChanged(kShift, 0)},
         {"down 56", "up 56"}},
        {{flagsChanged(kCapsLock, kCGEventFlagMaskAlphaShift), flagsChanged(kCapsLock, 0)},
         {"down 57", "up 57"}},
        {{flagsChanged(kControl, kCGEventFlagMaskShift | kCGEventFlagMaskControl),
          flagsChanged(kControl, kCGEventFlagMaskCommand)},  // two off, one on
         {"down 59", "down 59", "up 59"}},
    };
    for (const auto& [delivered, expected] : cases) {
        deliver(delivered);
        EXPECT_EQ(received(), expected);
    }
}

// On a real tap over a recorded keyboard: the tap thread hands keys and modifiers to the main
// thread in the order typed, and dropped events give the timeout notice, which is logged and
// enables the tap again.
TEST_F(KeyCaptureTest, TheTapThreadHandsKeysToTheMainThreadInOrder) {
    testing::ScratchDirectory devices;
    testing::KeyboardPipe keyboard(devices.path(), "event0");
    LinuxEventTapService evdev(
        {{devices.path(), &testing::RecordedKeyboard::open}, ":4095", InputBackend::Evdev});
    KeyCapture onTap = captureFrom(evdev);
    onTap.detachEventTapThread();
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        const int code = KEY_Q + i / 2 % 10;
        keyboard.write(
            {testing::KeyboardPipe::key(code, i % 2 ? 0 : 1), testing::KeyboardPipe::report()});
        expected.push_back((i % 2 ? "up " : "down ") + std::to_string(*keyCodeForEvdevCode(code)));
    }
    keyboard.write({testing::KeyboardPipe::key(KEY_LEFTSHIFT, 1), testing::KeyboardPipe::report(),
                    testing::KeyboardPipe::dropped(), testing::KeyboardPipe::report(),
                    testing::KeyboardPipe::key(KEY_B, 1), testing::KeyboardPipe::report()});
    expected.insert(expected.end(), {"down 56", "down 11"});
    EXPECT_TRUE(testing::eventually([&] {
        runLoop.runPending();
        return events.size() >= expected.size();
    }));
    EXPECT_EQ(events, expected);
    EXPECT_THAT(log.lines(), ElementsAre("Disabled by timeout"));
    EXPECT_THAT(fatalErrors, IsEmpty());
}

// A stalled main thread loses keys rather than playing them late at once: those beyond the
// ring, and those it reaches too late. The count is logged, never the keys.
TEST(KeyHandOff, EventsBeyondTheRingOrReachedTooLateAreDroppedAndCounted) {
    testing::ManualRunLoop runLoop;
    testing::RecordingLog log;
    KeyHandOff::EventClock::time_point now{};
    std::vector<int> heard;
    KeyHandOff handOff(
        runLoop, log, [&](int32_t keyCode, int) { heard.push_back(keyCode); },
        [&](int32_t button, int) { heard.push_back(-button); }, [&] { return now; });
    for (size_t i = 0; i < KeyHandOff::kCapacity + 10; ++i) {
        handOff.post(static_cast<int32_t>(i % 3), 1);
    }
    runLoop.runPending();
    ASSERT_EQ(heard.size(), KeyHandOff::kCapacity);
    EXPECT_EQ(heard[4], 1);
    handOff.post(1, 1);
    handOff.post(1, 0);
    now += KeyHandOff::kMaxDelay + std::chrono::milliseconds(1);
    handOff.postMouseButton(2, 1);
    runLoop.runPending();
    EXPECT_EQ(heard.back(), -2);
    EXPECT_EQ(heard.size(), KeyHandOff::kCapacity + 1);
    EXPECT_THAT(log.lines(), ElementsAre("10 key events were dropped: the main thread fell behind",
                                         "2 key events were dropped: the main thread fell behind"));
}

}  // namespace
}  // namespace plinka
