// Which backend the service picks, and whether it says keys can be captured.
#include <gtest/gtest.h>

#include "RecordedKeyboard.h"
#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "TapHarness.h"
#include "XvfbServer.h"
#include "platform/linux/input/LinuxEventTapService.h"

namespace plinka::testing {
namespace {

constexpr CGEventMask kKeyEvents = 0x1C00;

// PLINKA_INPUT wins over the user's choice when it names a backend; Wayland and the device
// folder come from the session.
TEST(LinuxEventTapService, TheSessionsChoice) {
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
    ScopedEnvironment devices("PLINKA_INPUT_DEVICES", "/tmp/keyboards");
    const std::tuple<std::optional<std::string>, std::optional<InputBackend>,
                     std::optional<InputBackend>>
        cases[] = {
            {std::nullopt, std::nullopt, std::nullopt},
            {std::nullopt, InputBackend::X11, InputBackend::X11},
            {"evdev", InputBackend::X11, InputBackend::Evdev},
            {"x11", std::nullopt, InputBackend::X11},
            {"X11", InputBackend::Evdev, InputBackend::Evdev},
            {"uinput", std::nullopt, std::nullopt},
        };
    for (const auto& [variable, chosen, forced] : cases) {
        ScopedEnvironment input("PLINKA_INPUT", variable);
        const auto options = LinuxEventTapService::sessionOptions(chosen);
        EXPECT_EQ(options.forced, forced) << variable.value_or("(unset)");
        EXPECT_TRUE(options.wayland);
        EXPECT_EQ(options.evdev.directory, "/tmp/keyboards");
    }
}

class LinuxEventTapServiceTest : public ::testing::Test {
  protected:
    LinuxEventTapService::Options options(std::optional<InputBackend> forced = std::nullopt,
                                          bool wayland = false) const {
        return {{_devices.path(), &RecordedKeyboard::open}, _display, forced, wayland};
    }
    void useDisplay() {
        _server = std::make_unique<XvfbServer>();
        if (!_server->running()) {
            GTEST_SKIP() << "Xvfb is not installed or did not start";
        }
        _display = _server->display();
    }

    ScratchDirectory _devices;
    std::string _display = ":4095";  // no server there
    std::unique_ptr<XvfbServer> _server;
};

TEST_F(LinuxEventTapServiceTest, WithoutKeyboardsOrDisplayNothingCaptures) {
    LinuxEventTapService service(options());
    EXPECT_FALSE(service.canCapture());
    EXPECT_EQ(service.chooseBackend(), std::nullopt);
    EXPECT_EQ(
        service.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly,
                               kKeyEvents, &TapRecorder::record, nullptr),
        nullptr);
}

TEST_F(LinuxEventTapServiceTest, ReadableKeyboardsMakeAnEvdevTapAndOnlyListenOnlyOnes) {
    KeyboardPipe keyboard(_devices.path(), "event0");
    LinuxEventTapService service(options());
    EXPECT_TRUE(service.canCapture());
    EXPECT_EQ(service.chooseBackend(), InputBackend::Evdev);
    EXPECT_EQ(service.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, 0, kKeyEvents,
                                     &TapRecorder::record, nullptr),
              nullptr);

    TapRecorder recorder;
    auto tap =
        service.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly,
                               kKeyEvents, &TapRecorder::record, &recorder);
    ASSERT_NE(tap, nullptr);
    TapThread thread(tap);
    keyboard.write({KeyboardPipe::key(KEY_SPACE, 1), KeyboardPipe::report()});
    EXPECT_EQ(recorder.waitFor(1), (std::vector<Seen>{{kCGEventKeyDown, 0x31, 0, 0}}));
}

TEST_F(LinuxEventTapServiceTest, X11IsTheFallbackOutsideWaylandAndWhenForced) {
    useDisplay();
    if (IsSkipped()) {
        return;
    }
    EXPECT_EQ(LinuxEventTapService(options()).chooseBackend(), InputBackend::X11);
    EXPECT_EQ(LinuxEventTapService(options(std::nullopt, true)).chooseBackend(), std::nullopt);
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::X11, true)).chooseBackend(),
              InputBackend::X11);
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::Evdev)).chooseBackend(), std::nullopt);
    EXPECT_NE(LinuxEventTapService(options()).createEventTap(
                  kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly, kKeyEvents,
                  &TapRecorder::record, nullptr),
              nullptr);

    KeyboardPipe keyboard(_devices.path(), "event0");
    EXPECT_EQ(LinuxEventTapService(options()).chooseBackend(), InputBackend::Evdev);
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::X11)).chooseBackend(), InputBackend::X11);
}

// The permission to read every key: on an X11 session XInput 2 gives it, on a Wayland session
// only a readable keyboard device does (X11 there hears only keys typed into X11 windows).
TEST_F(LinuxEventTapServiceTest, CaptureIsPermittedWhereTheBackendInUseHearsEveryKey) {
    useDisplay();
    if (IsSkipped()) {
        return;
    }
    struct Session {
        bool wayland, keyboard, display, permitted;
    };
    for (const Session session :
         {Session{false, false, false, false}, Session{false, false, true, true},
          Session{false, true, false, true}, Session{true, false, true, false},
          Session{true, false, false, false}, Session{true, true, true, true}}) {
        SCOPED_TRACE(std::string(session.wayland ? "Wayland" : "X11") +
                     (session.keyboard ? ", keyboard" : "") + (session.display ? ", XInput" : ""));
        ScratchDirectory devices;
        std::optional<KeyboardPipe> keyboard;
        if (session.keyboard) {
            keyboard.emplace(devices.path(), "event3");
        }
        LinuxEventTapService::Options tapOptions = options(std::nullopt, session.wayland);
        tapOptions.evdev.directory = devices.path();
        tapOptions.display = session.display ? _display : ":4095";
        EXPECT_EQ(LinuxEventTapService(tapOptions).canCapture(), session.permitted);
    }
}

}  // namespace
}  // namespace plinka::testing
