#include "platform/linux/input/ModifierFlags.h"

#include <linux/input-event-codes.h>

namespace plinka {

const std::array<ModifierFlags::Modifier, 9> ModifierFlags::kModifiers{{
    {KEY_LEFTSHIFT, kCGEventFlagMaskShift, kDeviceLeftShift},
    {KEY_RIGHTSHIFT, kCGEventFlagMaskShift, kDeviceRightShift},
    {KEY_LEFTCTRL, kCGEventFlagMaskControl, kDeviceLeftControl},
    {KEY_RIGHTCTRL, kCGEventFlagMaskControl, kDeviceRightControl},
    {KEY_LEFTALT, kCGEventFlagMaskAlternate, kDeviceLeftAlternate},
    {KEY_RIGHTALT, kCGEventFlagMaskAlternate, kDeviceRightAlternate},
    {KEY_LEFTMETA, kCGEventFlagMaskCommand, kDeviceLeftCommand},
    {KEY_RIGHTMETA, kCGEventFlagMaskCommand, kDeviceRightCommand},
    {KEY_FN, kCGEventFlagMaskSecondaryFn, 0},
}};

std::optional<size_t> ModifierFlags::indexOf(int evdevCode) {
    for (size_t i = 0; i < kModifiers.size(); ++i) {
        if (kModifiers[i].evdevCode == evdevCode) {
            return i;
        }
    }
    return std::nullopt;
}

bool ModifierFlags::isModifier(int evdevCode) {
    return evdevCode == KEY_CAPSLOCK || indexOf(evdevCode).has_value();
}

void ModifierFlags::press(int evdevCode) {
    if (evdevCode == KEY_CAPSLOCK) {
        capsLock_ = !capsLock_;
    } else if (auto index = indexOf(evdevCode)) {
        ++held_[*index];
    }
}

void ModifierFlags::release(int evdevCode) {
    if (auto index = indexOf(evdevCode); index && held_[*index] > 0) {
        --held_[*index];
    }
}

CGEventFlags ModifierFlags::flags() const {
    CGEventFlags flags = capsLock_ ? kCGEventFlagMaskAlphaShift : 0;
    for (size_t i = 0; i < kModifiers.size(); ++i) {
        if (held_[i] > 0) {
            flags |= kModifiers[i].independent | kModifiers[i].dependent;
        }
    }
    return flags;
}

}  // namespace plinka
