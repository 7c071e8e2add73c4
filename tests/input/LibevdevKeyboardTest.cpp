// The device layer on real evdev nodes: a virtual keyboard made through uinput where the
// machine allows it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ScratchDirectory.h"
#include "TapHarness.h"
#include "platform/linux/input/EvdevKeyboardTap.h"
#include "platform/linux/input/LibevdevKeyboard.h"

namespace plinka::testing {
namespace {

TEST(LibevdevKeyboard, OrdinaryFilesAreNoKeyboards) {
    ScratchDirectory root;
    const auto file = root.path() / "event0";
    std::ofstream(file) << "not a device";
    EXPECT_EQ(LibevdevKeyboard::open(file), nullptr);
    EXPECT_EQ(LibevdevKeyboard::open(root.path() / "absent"), nullptr);
}

// A virtual keyboard through uinput, removed when let go.
class VirtualKeyboard {
  public:
    VirtualKeyboard() {
        std::unique_ptr<libevdev, void (*)(libevdev*)> device(libevdev_new(), &libevdev_free);
        libevdev_set_name(device.get(), "plinka test keyboard");
        libevdev_enable_event_type(device.get(), EV_KEY);
        for (unsigned code : {KEY_A, KEY_LEFTSHIFT}) {
            libevdev_enable_event_code(device.get(), EV_KEY, code, nullptr);
        }
        libevdev_uinput_create_from_device(device.get(), LIBEVDEV_UINPUT_OPEN_MANAGED, &_uinput);
    }
    ~VirtualKeyboard() {
        if (_uinput != nullptr) {
            libevdev_uinput_destroy(_uinput);
        }
    }
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    // The device node; empty when the keyboard could not be made.
    std::string node() const {
        const char* path = _uinput != nullptr ? libevdev_uinput_get_devnode(_uinput) : nullptr;
        return path != nullptr && ::access(path, R_OK) == 0 ? path : "";
    }
    void key(unsigned code, int value) {
        libevdev_uinput_write_event(_uinput, EV_KEY, code, value);
        libevdev_uinput_write_event(_uinput, EV_SYN, SYN_REPORT, 0);
    }

  private:
    libevdev_uinput* _uinput = nullptr;
};

TEST(LibevdevKeyboard, VirtualKeyboardIsReadThroughTheTap) {
    if (::access("/dev/uinput", W_OK) != 0) {
        GTEST_SKIP() << "/dev/uinput is not writable here: no virtual keyboard can be made";
    }
    VirtualKeyboard keyboard;
    if (keyboard.node().empty()) {
        GTEST_SKIP() << "uinput made no readable device node here";
    }
    // Only this keyboard: its node linked into a directory of its own.
    ScratchDirectory root;
    std::filesystem::create_symlink(keyboard.node(), root.path() / "event0");
    TapRecorder recorder;
    auto tap = EvdevKeyboardTap::create({root.path(), {}}, 0x1C00, &TapRecorder::record, &recorder);
    ASSERT_NE(tap, nullptr);
    TapThread thread(tap);
    keyboard.key(KEY_LEFTSHIFT, 1);
    keyboard.key(KEY_A, 1);
    keyboard.key(KEY_A, 0);
    keyboard.key(KEY_LEFTSHIFT, 0);

    constexpr CGEventFlags shift = kCGEventFlagMaskShift | kDeviceLeftShift;
    EXPECT_EQ(recorder.waitFor(4), (std::vector<Seen>{{kCGEventFlagsChanged, 0x38, shift, 0},
                                                      {kCGEventKeyDown, 0x00, shift, 0},
                                                      {kCGEventKeyUp, 0x00, shift, 0},
                                                      {kCGEventFlagsChanged, 0x38, 0, 0}}));
}

}  // namespace
}  // namespace plinka::testing
