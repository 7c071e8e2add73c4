#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/EventTap.h"
#include "platform/linux/input/EvdevKeyboardTap.h"

namespace plinka {

enum class InputBackend { Evdev, X11 };

// The backend a name picks: "evdev" or "x11"; nullopt for any other name.
std::optional<InputBackend> inputBackendNamed(std::string_view name);

// Event taps on Linux: evdev when keyboards can be read (the only way on Wayland), else X11's
// XInput 2 raw key events, else evdev waiting for a keyboard when none is there; a forced
// backend is used alone. The permission to capture keys is present when a backend can be
// chosen: a keyboard that is not there is no missing permission.
class LinuxEventTapService : public EventTapService {
  public:
    struct Options {
        EvdevDevices evdev;
        std::string display;                 // the X display; empty: $DISPLAY
        std::optional<InputBackend> forced;  // the only backend to try
        bool wayland = false;                // a Wayland session, where X11 sees no global keys
    };
    // The session's options: the backend named by PLINKA_INPUT, else the user's choice; the
    // keyboards' folder named by PLINKA_INPUT_DEVICES, else /dev/input; and whether the session
    // is Wayland's.
    static Options sessionOptions(std::optional<InputBackend> userChoice);

    explicit LinuxEventTapService(Options options) : options_(std::move(options)) {}

    // Only listen-only taps: this layer never changes or swallows an event.
    std::shared_ptr<EventTap> createEventTap(uint32_t location, uint32_t placement,
                                             uint32_t options, CGEventMask eventsOfInterest,
                                             CGEventTapCallBack callback, void* userInfo) override;
    bool canCapture() override { return chooseBackend().has_value(); }

    // The backend that can capture keys now; nullopt when none can.
    std::optional<InputBackend> chooseBackend() const;

  private:
    const Options options_;
};

}  // namespace plinka
