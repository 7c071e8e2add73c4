#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/EventTap.h"

namespace plinka {

// The modifier keys held down across every keyboard and the Caps Lock toggle, as the flags
// word of a tap event: one device-independent bit per modifier (either Shift sets the Shift
// bit) plus the device-dependent bits that tell left from right.
class ModifierFlags {
  public:
    // Whether the Linux key is a modifier: it makes flags-changed events, not key-down/up.
    static bool isModifier(int evdevCode);

    // A modifier key went down or up on one keyboard. Caps Lock toggles its bit on each press
    // and ignores its release, as on macOS.
    void press(int evdevCode);
    void release(int evdevCode);
    // Sets the Caps Lock toggle (from a keyboard's LED or the display's lock state).
    void setCapsLock(bool on) { capsLock_ = on; }

    CGEventFlags flags() const;

  private:
    struct Modifier {
        int evdevCode;
        CGEventFlags independent;
        CGEventFlags dependent;
    };
    static const std::array<Modifier, 9> kModifiers;
    static std::optional<size_t> indexOf(int evdevCode);

    // How many keyboards hold each modifier key down.
    std::array<uint16_t, kModifiers.size()> held_{};
    bool capsLock_ = false;
};

}  // namespace plinka
