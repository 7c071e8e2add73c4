#include "platform/linux/input/LinuxEventTapService.h"

#include <cstdlib>

#include "platform/linux/input/XInputKeyboardTap.h"

namespace plinka {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::optional<InputBackend> inputBackendNamed(std::string_view name) {
    if (name == "evdev") {
        return InputBackend::Evdev;
    }
    if (name == "x11") {
        return InputBackend::X11;
    }
    return std::nullopt;
}

LinuxEventTapService::Options LinuxEventTapService::sessionOptions(
    std::optional<InputBackend> userChoice) {
    Options options;
    options.forced = inputBackendNamed(environment("PLINKA_INPUT"));
    if (!options.forced) {
        options.forced = userChoice;
    }
    if (const std::string_view devices = environment("PLINKA_INPUT_DEVICES"); !devices.empty()) {
        options.evdev.directory = devices;
    }
    options.wayland =
        environment("XDG_SESSION_TYPE") == "wayland" || !environment("WAYLAND_DISPLAY").empty();
    return options;
}

std::optional<InputBackend> LinuxEventTapService::chooseBackend() const {
    const auto x11Works = [this] { return XInputKeyboardTap::canReadKeyboard(options_.display); };
    if (options_.forced == InputBackend::X11) {
        return x11Works() ? options_.forced : std::nullopt;
    }
    const DeviceAccess evdev = EvdevKeyboardTap::deviceAccess(options_.evdev);
    if (options_.forced == InputBackend::Evdev) {
        return evdev != DeviceAccess::Denied ? options_.forced : std::nullopt;
    }
    if (evdev == DeviceAccess::Readable) {
        return InputBackend::Evdev;
    }
    // Without a keyboard device, X11 may still hear keys (a remote or nested desktop).
    if (!options_.wayland && x11Works()) {
        return InputBackend::X11;
    }
    if (evdev == DeviceAccess::NoKeyboard) {
        return InputBackend::Evdev;
    }
    return std::nullopt;
}

std::shared_ptr<EventTap> LinuxEventTapService::createEventTap(uint32_t, uint32_t, uint32_t options,
                                                               CGEventMask eventsOfInterest,
                                                               CGEventTapCallBack callback,
                                                               void* userInfo) {
    if (options != kCGEventTapOptionListenOnly || callback == nullptr) {
        return nullptr;
    }
    const auto backend = chooseBackend();
    if (!backend) {
        return nullptr;
    }
    if (*backend == InputBackend::X11) {
        return XInputKeyboardTap::create(options_.display, eventsOfInterest, callback, userInfo);
    }
    return EvdevKeyboardTap::create(options_.evdev, eventsOfInterest, callback, userInfo);
}

}  // namespace plinka
