// Which backend the service picks, and whether it says keys can be captured.
#include <gtest/gtest.h>

#include "RecordedKeyboard.h"
#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "TapHarness.h"
#include "TestFiles.h"
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
        return {
            {_devices.path(), &RecordedKeyboard::open, _sysfs.path()}, _display, forced, wayland};
    }
    void useDisplay() {
        _server = std::make_unique<XvfbServer>();
        if (!_server->running()) {
            GTEST_SKIP() << "Xvfb is not installed or did not start";
        }
        _display = _server->display();
    }

    ScratchDirectory _devices;
    ScratchDirectory _sysfs;  // what the kernel says of the nodes: nothing unless a test writes
    std::string _display = ":4095";  // no server there
    std::unique_ptr<XvfbServer> _server;
};

TEST_F(LinuxEventTapServiceTest, WithoutReadableKeyboardsOrDisplayNothingCaptures) {
    writeFile(_devices.path() / "event0", "");
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

TEST_F(LinuxEventTapServiceTest, AForcedBackendIsUsedAlone) {
    useDisplay();
    if (IsSkipped()) {
        return;
    }
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::X11, true)).chooseBackend(),
              InputBackend::X11);
    EXPECT_NE(LinuxEventTapService(options()).createEventTap(
                  kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly, kKeyEvents,
                  &TapRecorder::record, nullptr),
              nullptr);
    writeFile(_devices.path() / "event1", "");
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::Evdev)).chooseBackend(), std::nullopt);
    KeyboardPipe keyboard(_devices.path(), "event0");
    EXPECT_EQ(LinuxEventTapService(options(InputBackend::X11)).chooseBackend(), InputBackend::X11);
}

// The permission to read every key: on an X11 session XInput 2 gives it, on a Wayland session
// only the keyboard devices do (X11 there hears only keys typed into X11 windows). A keyboard
// that is not there (unplugged, asleep) is no missing permission: the evdev tap waits for it.
// Only keyboards that are there and cannot be read are; a node that cannot be read is taken
// for a keyboard unless the kernel describes it as something else.
TEST_F(LinuxEventTapServiceTest, CaptureIsPermittedUnlessKeyboardsAreThereAndUnreadable) {
    useDisplay();
    if (IsSkipped()) {
        return;
    }
    enum Node { None, Readable, Unreadable, UnreadableMouse };
    struct Session {
        bool wayland;
        Node node;
        bool display;
        std::optional<InputBackend> backend;
    };
    for (const Session session : {
             Session{false, None, false, InputBackend::Evdev},
             Session{false, None, true, InputBackend::X11},
             Session{false, Unreadable, false, std::nullopt},
             Session{false, Unreadable, true, InputBackend::X11},
             Session{false, Readable, true, InputBackend::Evdev},
             Session{true, None, true, InputBackend::Evdev},
             Session{true, Unreadable, true, std::nullopt},
             Session{true, UnreadableMouse, false, InputBackend::Evdev},
             Session{true, Readable, false, InputBackend::Evdev},
         }) {
        SCOPED_TRACE(std::string(session.wayland ? "Wayland" : "X11") + ", node " +
                     std::to_string(session.node) + (session.display ? ", XInput" : ""));
        ScratchDirectory devices;
        ScratchDirectory sysfs;
        std::optional<KeyboardPipe> keyboard;
        if (session.node == Readable) {
            keyboard.emplace(devices.path(), "event3");
        } else if (session.node != None) {
            writeFile(devices.path() / "event3", "");
        }
        if (session.node == UnreadableMouse) {
            writeFile(sysfs.path() / "event3/device/capabilities/key", "70000 0 0 0 0\n");
        }
        LinuxEventTapService::Options tapOptions = options(std::nullopt, session.wayland);
        tapOptions.evdev.directory = devices.path();
        tapOptions.evdev.sysfsClass = sysfs.path();
        tapOptions.display = session.display ? _display : ":4095";
        LinuxEventTapService service(tapOptions);
        EXPECT_EQ(service.chooseBackend(), session.backend);
        EXPECT_EQ(service.canCapture(), session.backend.has_value());
    }
}

}  // namespace
}  // namespace plinka::testing
