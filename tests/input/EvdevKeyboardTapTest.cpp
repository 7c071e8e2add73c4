// The evdev tap end to end on recorded event streams: raw input_event records written to pipes
// that stand in the watched directory as device nodes, read through the real directory watch,
// poll loop, decoder and delivery.
#include <gtest/gtest.h>

#include <optional>

#include "RecordedKeyboard.h"
#include "ScratchDirectory.h"
#include "TapHarness.h"
#include "platform/linux/input/EvdevKeyboardTap.h"

namespace plinka::testing {
namespace {

constexpr CGEventMask kKeyEvents = 0x1C00;
constexpr int64_t kA = 0x00;
constexpr int64_t kB = 0x0B;
constexpr int64_t kShift = 0x38;
constexpr int64_t kCapsLock = 0x39;
class EvdevKeyboardTapTest : public ::testing::Test {
  protected:
    EvdevKeyboardTapTest() { std::filesystem::create_directory(devices()); }

    std::string devices() const { return _root.path() / "input"; }

    std::shared_ptr<EvdevKeyboardTap> makeTap(KeyboardDeviceOpener open = &RecordedKeyboard::open) {
        auto tap = EvdevKeyboardTap::create({devices(), std::move(open)}, kKeyEvents,
                                            &TapRecorder::record, &recorder);
        EXPECT_NE(tap, nullptr);
        return tap;
    }

    ScratchDirectory _root;
    TapRecorder recorder;
};

using Pipe = KeyboardPipe;

// Nodes that are no event devices are left alone. Shift and A go up while the reader is behind
// the second time: those releases are lost, and the recorder re-enables on the notice; B then
// carries no Shift, and A is a fresh press.
TEST_F(EvdevKeyboardTapTest, KeysArriveInOrderAndDroppedEventsGiveTheNoticeAndCatchUp) {
    Pipe keyboard(devices(), "event0");
    Pipe mouse(devices(), "mouse0");
    auto tap = makeTap();
    TapThread thread(tap);
    mouse.write({Pipe::key(KEY_Z, 1), Pipe::report()});
    keyboard.write({Pipe::key(KEY_A, 1), Pipe::report(), Pipe::key(KEY_A, 2), Pipe::report(),
                    Pipe::key(KEY_A, 0), Pipe::report(), Pipe::key(KEY_LEFTSHIFT, 1),
                    Pipe::key(KEY_LEFTSHIFT, 2), Pipe::key(KEY_B, 1), Pipe::key(KEY_B, 0),
                    Pipe::key(KEY_LEFTSHIFT, 0), Pipe::report()});
    keyboard.write({Pipe::key(KEY_LEFTSHIFT, 1), Pipe::key(KEY_A, 1), Pipe::report(),
                    Pipe::dropped(), Pipe::key(KEY_LEFTSHIFT, 0), Pipe::key(KEY_A, 0),
                    Pipe::report(), Pipe::key(KEY_B, 1), Pipe::key(KEY_A, 1), Pipe::report()});

    EXPECT_EQ(recorder.waitFor(12),
              (std::vector<Seen>{down(kA), down(kA, 0, 1), up(kA), flagsChanged(kShift, kLeftShift),
                                 down(kB, kLeftShift), up(kB, kLeftShift), flagsChanged(kShift, 0),
                                 flagsChanged(kShift, kLeftShift), down(kA, kLeftShift),
                                 Seen{kCGEventTapDisabledByTimeout, 0, 0, 0}, down(kB), down(kA)}));
}

// A keyboard plugged in later shares the modifiers held on another; one that goes lets go of
// its own keys, and the others go on.
TEST_F(EvdevKeyboardTapTest, KeyboardsComeAndGoAndShareTheModifierState) {
    auto tap = makeTap();
    TapThread thread(tap);
    std::optional<Pipe> leaving(std::in_place, devices(), "event1");
    leaving->write({Pipe::key(KEY_LEFTSHIFT, 1), Pipe::key(KEY_A, 1), Pipe::report()});
    recorder.waitFor(2);
    Pipe staying(devices(), "event2");
    staying.write({Pipe::key(KEY_B, 1), Pipe::report()});
    recorder.waitFor(3);
    leaving->unplug();
    recorder.waitFor(5);
    leaving.reset();
    std::filesystem::remove(devices() + "/event1");
    staying.write({Pipe::key(KEY_B, 0), Pipe::report()});

    EXPECT_EQ(recorder.waitFor(6),
              (std::vector<Seen>{flagsChanged(kShift, kLeftShift), down(kA, kLeftShift),
                                 down(kB, kLeftShift), up(kA, kLeftShift), flagsChanged(kShift, 0),
                                 up(kB)}));
}

TEST_F(EvdevKeyboardTapTest, CapsLockStartsFromTheLightAndTogglesOnPresses) {
    Pipe keyboard(devices(), "event0");
    keyboard.write({Pipe::light(LED_CAPSL, 1), Pipe::report()});
    // The light is known to the device before the tap opens it.
    auto opened = RecordedKeyboard::open(devices() + "/event0");
    input_event record{};
    while (opened->next(record) == KeyboardDevice::ReadStatus::Event) {
    }
    TapThread thread(makeTap([&](const std::string&) { return std::exchange(opened, nullptr); }));
    keyboard.write({Pipe::key(KEY_A, 1), Pipe::key(KEY_CAPSLOCK, 1), Pipe::key(KEY_CAPSLOCK, 0),
                    Pipe::key(KEY_CAPSLOCK, 1), Pipe::key(KEY_CAPSLOCK, 0), Pipe::report()});

    EXPECT_EQ(recorder.waitFor(3),
              (std::vector<Seen>{down(kA, kCGEventFlagMaskAlphaShift), flagsChanged(kCapsLock, 0),
                                 flagsChanged(kCapsLock, kCGEventFlagMaskAlphaShift)}));
}

}  // namespace
}  // namespace plinka::testing
