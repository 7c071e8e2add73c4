#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plinka::themetool {

// The theme key codes a word of a mapping file stands for: a key name ("a", "space"), a key
// code (decimal, or hexadecimal with 0x), "sample" (254) or a group ("letters", "digits",
// "punctuation", "modifiers", "arrows", "keypad", "function-keys", "all"); nullopt when it is
// none of these.
std::optional<std::vector<int>> keyCodesForWord(std::string_view word);

// How a listing names a key code: its key name, "sample" for 254, else the number.
std::string keyLabel(int keyCode);

// The group names keyCodesForWord knows, for help texts.
std::string_view keyGroupNames();

// The mouse button a name stands for: "left" 0, "right" 1, "middle" 2; nullopt for others.
std::optional<int> mouseButtonForName(std::string_view name);
// The button's name; empty for a number no button has.
std::string_view mouseButtonName(int button);

}  // namespace plinka::themetool
