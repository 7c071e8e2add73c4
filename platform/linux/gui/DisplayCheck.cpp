#include "platform/linux/gui/DisplayCheck.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <string_view>

namespace plinka {

std::optional<std::string> unreachableDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (platform != nullptr && *platform != '\0' &&
        !std::string_view(platform).starts_with("xcb")) {
        return std::nullopt;
    }
    if ((platform == nullptr || *platform == '\0') && wayland != nullptr && *wayland != '\0') {
        return std::nullopt;
    }
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        return "No display to show Plinka on: DISPLAY is not set (Plinka needs a desktop session)";
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        return "Cannot open the X display \"" + std::string(name) +
               "\" (Plinka needs a desktop session)";
    }
    XCloseDisplay(display);
    return std::nullopt;
}

}  // namespace plinka
