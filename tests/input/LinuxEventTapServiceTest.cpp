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

TEST(LinuxEventTapService, BackendNamesAndTheSessionsChoice) {
    EXPECT_EQ(inputBackendNamed("evdev"), InputBackend::Evdev);
    EXPECT_EQ(inputBackendNamed("x11"), InputBackend::X11);
    EXPECT_EQ(inputBackendNamed("X11"), std::nullopt);
    EXPECT_EQ(inputBackendNamed(""), std::nullopt);

    ScopedEnvironment session("XDG_SESSION_TYPE", "x11");
    ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
    {
        ScopedEnvironment input("PLINKA_INPUT", std::nullopt);
        EXPECT_EQ(LinuxEventTapService::sessionOptions(std::nullopt).forced, std::nullopt);
        EXPECT_EQ(LinuxEventTapService::sessionOptions(InputBackend::X11).forced,
                  InputBackend::X11);
        EXPECT_FALSE(LinuxEventTapService::sessionOptions(std::nullopt).wayland);
    }
    {
        // The environment wins over the user's choice; a name it does not know is ignored.
        ScopedEnvironment input("PLINKA_INPUT", "evdev");
        EXPECT_EQ(LinuxEventTapService::sessionOptions(InputBackend::X11).forced,
                  InputBackend::Evdev);
        ScopedEnvironment unknown("PLINKA_INPUT", "uinput");
        EXPECT_EQ(LinuxEventTapService::sessionOptions(InputBackend::X11).forced,
                  InputBackend::X11);
    }
    ScopedEnvironment onWayland("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(LinuxEventTapService::sessionOptions(std::nullopt).wayland);

    ScopedEnvironment noDevices("PLINKA_INPUT_DEVICES", std::nullopt);
    EXPECT_EQ(LinuxEventTapService::sessionOptions(std::nullopt).evdev.directory, "/dev/input");
    ScopedEnvironment devices("PLINKA_INPUT_DEVICES", "/tmp/keyboards");
    EXPECT_EQ(LinuxEventTapService::sessionOptions(std::nullopt).evdev.directory, "/tmp/keyboards");
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
