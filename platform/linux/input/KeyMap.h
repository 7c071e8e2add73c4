#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace plinka {

// One physical key: its Linux input (evdev) code, the macOS virtual key code that theme files
// use for it, and the short name people use for it in mapping files and listings.
struct KeyMapEntry {
    int evdevCode;
    int keyCode;
    std::string_view name;
};

// A key to press for a character on a US layout.
struct TypedKey {
    int keyCode;
    bool shift;
};

// Every key with a theme key code, one entry per key code; evdev codes are unique too.
std::span<const KeyMapEntry> keyMapEntries();

// The theme key code of an evdev key; nullopt for keys that have none.
std::optional<int> keyCodeForEvdevCode(int evdevCode);
// The evdev code of the key that bears this theme key code; nullopt when no key does.
std::optional<int> evdevCodeForKeyCode(int keyCode);
// The theme key code of a key name ("a", "space", "left-shift"), case-insensitive.
std::optional<int> keyCodeForName(std::string_view name);
// The key's name; empty when no key bears this key code.
std::string_view nameForKeyCode(int keyCode);
// The key (and whether Shift is held) that types the character on a US layout; nullopt for
// characters that no key types.
std::optional<TypedKey> keyForCharacter(char character);

}  // namespace plinka
