#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/EventTap.h"

namespace plinka {

// A key pressed while modifiers are held: kCGEventFlagMaskControl, ...Alternate, ...Shift and
// ...Command (Super) bits, and the key's theme key code.
struct KeyChord {
    CGEventFlags modifiers = 0;
    int keyCode = 0;
    bool operator==(const KeyChord&) const = default;
};

// The names people write keys with ("m", "f5", "space"), for the theme key codes.
class KeyNames {
  public:
    virtual ~KeyNames() = default;
    // The key code of the name, in any case; nullopt for a name no key bears.
    virtual std::optional<int> keyCodeForName(std::string_view name) const = 0;
    // The key's name; empty when no key bears the code.
    virtual std::string nameForKeyCode(int keyCode) const = 0;
    // Whether the key types text (a letter, digit, punctuation, space, return, the keypad's).
    virtual bool typesText(int keyCode) const = 0;
};

}  // namespace plinka
