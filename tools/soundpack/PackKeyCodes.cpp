#include "tools/soundpack/PackKeyCodes.h"

#include <linux/input-event-codes.h>

#include <array>
#include <utility>

#include "platform/linux/input/KeyMap.h"

namespace plinka::soundpack {

namespace {

// Mechvibes codes beyond the plain scan codes, with the evdev key each stands for.
constexpr std::array<std::pair<int, int>, 29> kExtendedCodes{{
    {3612, KEY_KPENTER},
    {3613, KEY_RIGHTCTRL},
    {3637, KEY_KPSLASH},
    {3639, KEY_SYSRQ},
    {3640, KEY_RIGHTALT},
    {3653, KEY_PAUSE},
    {3655, KEY_HOME},
    {3657, KEY_PAGEUP},
    {3663, KEY_END},
    {3665, KEY_PAGEDOWN},
    {3666, KEY_INSERT},
    {3667, KEY_DELETE},
    {3675, KEY_LEFTMETA},
    {3676, KEY_RIGHTMETA},
    {3677, KEY_COMPOSE},
    {57416, KEY_UP},
    {57419, KEY_LEFT},
    {57421, KEY_RIGHT},
    {57424, KEY_DOWN},
    // As packs made on Windows number them.
    {61000, KEY_UP},
    {61003, KEY_LEFT},
    {61005, KEY_RIGHT},
    {61008, KEY_DOWN},
    {61010, KEY_INSERT},
    {61011, KEY_DELETE},
    {60999, KEY_HOME},
    {61007, KEY_END},
    {61001, KEY_PAGEUP},
    {61009, KEY_PAGEDOWN},
}};

}  // namespace

std::optional<int> keyCodeForMechvibesCode(int code) {
    if ((code >= 1 && code <= 83) || code == 87 || code == 88) {
        return keyCodeForEvdevCode(code);
    }
    for (const auto& [mechvibes, evdev] : kExtendedCodes) {
        if (mechvibes == code) {
            return keyCodeForEvdevCode(evdev);
        }
    }
    return std::nullopt;
}

}  // namespace plinka::soundpack
