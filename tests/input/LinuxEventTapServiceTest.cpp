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

// Readable keyboards first, else X11 where it hears every key (never on Wayland unless forced);
// the permission to read every key is that some backend is in use. A keyboard that is not there
// (unplugged, asleep) is no missing permission: the evdev tap waits for it. Only keyboards that
// are there and cannot be read are; a node that cannot be read is taken for a keyboard unless
// the kernel describes it as something else. Only listen-only taps.
TEST(LinuxEventTapService, TheBackendAndThePermissionFollowTheSession) {
    XvfbServer server;
    if (!server.running()) {
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    }
    enum Node { None, Readable, Unreadable, UnreadableMouse };
    struct Session {
        bool wayland;
        Node node;
        bool display;
        std::optional<InputBackend> forced, backend;
    };
    const Session sessions[] = {
        {false, None, false, std::nullopt, InputBackend::Evdev},
        {false, None, true, std::nullopt, InputBackend::X11},
        {false, Unreadable, false, std::nullopt, std::nullopt},
        {false, Unreadable, true, std::nullopt, InputBackend::X11},
        {false, Readable, true, std::nullopt, InputBackend::Evdev},
        {false, Readable, true, InputBackend::X11, InputBackend::X11},
        {false, Unreadable, true, InputBackend::Evdev, std::nullopt},
        {true, None, true, std::nullopt, InputBackend::Evdev},
        {true, Unreadable, true, std::nullopt, std::nullopt},
        {true, Unreadable, true, InputBackend::X11, InputBackend::X11},
        {true, UnreadableMouse, false, std::nullopt, InputBackend::Evdev},
        {true, Readable, false, std::nullopt, InputBackend::Evdev},
    };
    for (const Session& session : sessions) {
        SCOPED_TRACE(std::string(session.wayland ? "Wayland" : "X11") + ", node " +
                     std::to_string(session.node) + (session.display ? ", display" : ""));
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
        LinuxEventTapService service({{devices.path(), &RecordedKeyboard::open, sysfs.path()},
                                      session.display ? server.display() : ":4095",  // none there
                                      session.forced,
                                      session.wayland});
        EXPECT_EQ(service.chooseBackend(), session.backend);
        EXPECT_EQ(service.canCapture(), session.backend.has_value());
        EXPECT_EQ(service.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap,
                                         kCGEventTapOptionListenOnly, kKeyEvents,
                                         &TapRecorder::record, nullptr) != nullptr,
                  session.backend.has_value());
        EXPECT_EQ(service.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, 0, kKeyEvents,
                                         &TapRecorder::record, nullptr),
                  nullptr);
    }
}

}  // namespace
}  // namespace plinka::testing
