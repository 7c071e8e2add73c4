// The X11 tap end to end: a private Xvfb, keys typed by xdotool through XTEST, captured as
// XInput 2 raw key events. Typed text in order is the desktop test's (tests/desktop/TypingTest).
#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include "TapHarness.h"
#include "XvfbServer.h"
#include "platform/linux/input/XInputKeyboardTap.h"

namespace plinka::testing {
namespace {

constexpr CGEventMask kKeyEvents = 0x1C00;

class XInputKeyboardTapTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        if (!server->running()) {
            GTEST_SKIP() << "Xvfb is not installed or did not start";
        }
        if (!installed("xdotool")) {
            GTEST_SKIP() << "xdotool is not installed";
        }
        tap = XInputKeyboardTap::create(server->display(), kKeyEvents, &TapRecorder::record,
                                        &recorder);
        ASSERT_NE(tap, nullptr);
        thread = std::make_unique<TapThread>(tap);
    }
    void TearDown() override { thread.reset(); }

    void xdotool(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{"xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(runOnDisplay(server->display(), command));
    }

    static std::unique_ptr<XvfbServer> server;
    TapRecorder recorder;
    std::shared_ptr<XInputKeyboardTap> tap;
    std::unique_ptr<TapThread> thread;
};

std::unique_ptr<XvfbServer> XInputKeyboardTapTest::server;

TEST_F(XInputKeyboardTapTest, CapsLockTogglesOnPressesAndANewTapStartsFromTheLockState) {
    xdotool({"key", "Caps_Lock", "b", "Caps_Lock", "b", "Caps_Lock"});
    EXPECT_EQ(
        recorder.waitFor(7),
        (std::vector<Seen>{flagsChanged(0x39, kCGEventFlagMaskAlphaShift),
                           down(0x0B, kCGEventFlagMaskAlphaShift),
                           up(0x0B, kCGEventFlagMaskAlphaShift), flagsChanged(0x39, 0), down(0x0B),
                           up(0x0B), flagsChanged(0x39, kCGEventFlagMaskAlphaShift)}));

    TapRecorder later;
    auto second =
        XInputKeyboardTap::create(server->display(), kKeyEvents, &TapRecorder::record, &later);
    ASSERT_NE(second, nullptr);
    TapThread secondThread(second);
    xdotool({"key", "Caps_Lock"});
    EXPECT_EQ(later.waitFor(1), (std::vector<Seen>{flagsChanged(0x39, 0)}));
}

TEST(XInputKeyboardTap, LostConnectionDisablesTheTapAndEndsItsRunLoop) {
    XvfbServer server;
    if (!server.running()) {
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    }
    TapRecorder recorder;
    auto tap =
        XInputKeyboardTap::create(server.display(), kKeyEvents, &TapRecorder::record, &recorder);
    ASSERT_NE(tap, nullptr);
    TapThread thread(tap);
    server.kill();
    thread.join();

    EXPECT_EQ(recorder.waitFor(1),
              (std::vector<Seen>{Seen{kCGEventTapDisabledByUserInput, 0, 0, 0}}));
}

TEST(XInputKeyboardTap, NoDisplayNoTap) {
    EXPECT_EQ(XInputKeyboardTap::create(":4095", kKeyEvents, &TapRecorder::record, nullptr),
              nullptr);
    EXPECT_FALSE(XInputKeyboardTap::canReadKeyboard(":4095"));
}

}  // namespace
}  // namespace plinka::testing
