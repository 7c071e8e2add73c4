#include "platform/linux/input/LibevdevKeyboard.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>

#include "platform/linux/input/KeyMap.h"

namespace plinka {

namespace {

// A keyboard has at least one key (not a button) that makes a theme key code; a mouse has a
// button that sounds.
bool hasKeysOrButtons(libevdev* device) {
    if (libevdev_has_event_type(device, EV_KEY) == 0) {
        return false;
    }
    for (const unsigned button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE}) {
        if (libevdev_has_event_code(device, EV_KEY, button) != 0) {
            return true;
        }
    }
    for (const auto& key : keyMapEntries()) {
        if (key.evdevCode < BTN_MISC &&
            libevdev_has_event_code(device, EV_KEY, static_cast<unsigned>(key.evdevCode)) != 0) {
            return true;
        }
    }
    return false;
}

// Has the kernel queue only keys, buttons and lights for this reader: a mouse or touchpad that
// moves wakes nobody. Kernels before 4.4 queue everything, which the tap ignores.
void hearOnlyKeysAndLights(int fd) {
    unsigned long types = 1UL << EV_SYN | 1UL << EV_KEY | 1UL << EV_LED;
    input_mask mask{EV_SYN, sizeof types, reinterpret_cast<uintptr_t>(&types)};
    ::ioctl(fd, EVIOCSMASK, &mask);
}

}  // namespace

std::unique_ptr<KeyboardDevice> LibevdevKeyboard::open(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return nullptr;
    }
    libevdev* opened = nullptr;
    if (libevdev_new_from_fd(fd.get(), &opened) < 0) {
        return nullptr;
    }
    Device device(opened);
    if (!hasKeysOrButtons(device.get())) {
        return nullptr;
    }
    hearOnlyKeysAndLights(fd.get());
    return std::make_unique<LibevdevKeyboard>(std::move(fd), std::move(device));
}

void LibevdevKeyboard::Free::operator()(libevdev* device) const {
    libevdev_free(device);
}

KeyboardDevice::ReadStatus LibevdevKeyboard::next(input_event& event) {
    const int status = libevdev_next_event(device_.get(), LIBEVDEV_READ_FLAG_NORMAL, &event);
    if (status == LIBEVDEV_READ_STATUS_SUCCESS) {
        return ReadStatus::Event;
    }
    if (status == LIBEVDEV_READ_STATUS_SYNC) {
        // Let libevdev bring its key state up to date; the lost events stay lost.
        int synced = LIBEVDEV_READ_STATUS_SYNC;
        while (synced == LIBEVDEV_READ_STATUS_SYNC) {
            synced = libevdev_next_event(device_.get(), LIBEVDEV_READ_FLAG_SYNC, &event);
        }
        return synced == -ENODEV ? ReadStatus::Gone : ReadStatus::Dropped;
    }
    return status == -EAGAIN ? ReadStatus::Empty : ReadStatus::Gone;
}

KeyEventDecoder::KeySet LibevdevKeyboard::keysDown() const {
    KeyEventDecoder::KeySet down;
    for (unsigned code = 0; code < KEY_CNT; ++code) {
        if (libevdev_get_event_value(device_.get(), EV_KEY, code) != 0) {
            down.set(code);
        }
    }
    return down;
}

std::optional<bool> LibevdevKeyboard::capsLockLight() const {
    if (libevdev_has_event_code(device_.get(), EV_LED, LED_CAPSL) == 0) {
        return std::nullopt;
    }
    return libevdev_get_event_value(device_.get(), EV_LED, LED_CAPSL) != 0;
}

}  // namespace plinka
