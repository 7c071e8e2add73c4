#include "platform/linux/input/KeyMapNames.h"

#include "platform/linux/input/KeyMap.h"

namespace plinka {

std::optional<int> KeyMapNames::keyCodeForName(std::string_view name) const {
    return plinka::keyCodeForName(name);
}

std::string KeyMapNames::nameForKeyCode(int keyCode) const {
    return std::string(plinka::nameForKeyCode(keyCode));
}

bool KeyMapNames::typesText(int keyCode) const {
    for (char character = ' '; character <= '~'; ++character) {
        if (const auto key = keyForCharacter(character); key && key->keyCode == keyCode) {
            return true;
        }
    }
    const std::string_view name = plinka::nameForKeyCode(keyCode);
    return name == "return" || name == "tab" || name == "backspace" ||
           (name.starts_with("keypad-") && name != "keypad-clear");
}

}  // namespace plinka
