#pragma once

#include <optional>
#include <string_view>

namespace plinka::soundpack {

// The theme key code of a Mechvibes key code: the PC scan codes of its input library (1 to 83,
// 87 and 88 equal the Linux evdev code; extended keys are 0x0E00 plus the scan code; arrows and
// a few more have codes of their own, and other ones on Windows). nullopt for codes that stand
// for no key, or for a key that no theme has.
std::optional<int> keyCodeForMechvibesCode(int code);

// The theme key code of a key named as web browsers name keys by their place ("KeyA",
// "Digit1", "AltLeft", "ArrowUp", "Numpad7"...), in any case; nullopt for names of no key.
std::optional<int> keyCodeForW3cName(std::string_view name);

}  // namespace plinka::soundpack
