#pragma once

#include <linux/input.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/input/KeyEventDecoder.h"

namespace plinka {

// One open keyboard or mouse that the evdev tap reads, without ever grabbing it.
class KeyboardDevice {
  public:
    enum class ReadStatus {
        Event,    // the event was read
        Dropped,  // the reader fell behind and events were lost; the key state is caught up
        Empty,    // nothing waiting now
        Gone,     // the device was removed or can no longer be read
    };

    virtual ~KeyboardDevice() = default;
    // The descriptor to wait on for reading.
    virtual int fd() const = 0;
    // The next event the device holds.
    virtual ReadStatus next(input_event& event) = 0;
    // The keys down now, as far as the device has told.
    virtual KeyEventDecoder::KeySet keysDown() const = 0;
    // The Caps Lock light; nullopt when the device has none.
    virtual std::optional<bool> capsLockLight() const = 0;
};

// Opens the device node at the path as a keyboard or mouse; nullptr when it cannot be read or has
// neither keyboard keys nor mouse buttons.
using KeyboardDeviceOpener = std::function<std::unique_ptr<KeyboardDevice>(const std::string&)>;

}  // namespace plinka
