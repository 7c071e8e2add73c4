#pragma once

#include <string_view>

#include "platform/linux/input/KeyMap.h"
#include "sound/SoundTheme.h"

namespace plinka::testing {

// The theme key code of a key's name ("a", "space", "shift").
inline int key(std::string_view name) {
    return *keyCodeForName(name);
}

// What the theme holds for the key in the state (1 down, 0 up).
inline const Object& slot(const SoundTheme& theme, int state, int keyCode) {
    return (*(*theme.sounds().arrayValue())[static_cast<size_t>(state)]
                 .arrayValue())[static_cast<size_t>(keyCode)];
}

}  // namespace plinka::testing
