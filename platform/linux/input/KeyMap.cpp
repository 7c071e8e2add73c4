#include "platform/linux/input/KeyMap.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace plinka {

namespace {

// macOS virtual key codes (the ANSI layout's positions, as theme files number keys).
constexpr std::array kKeys{
    KeyMapEntry{KEY_A, 0x00, "a"},
    KeyMapEntry{KEY_S, 0x01, "s"},
    KeyMapEntry{KEY_D, 0x02, "d"},
    KeyMapEntry{KEY_F, 0x03, "f"},
    KeyMapEntry{KEY_H, 0x04, "h"},
    KeyMapEntry{KEY_G, 0x05, "g"},
    KeyMapEntry{KEY_Z, 0x06, "z"},
    KeyMapEntry{KEY_X, 0x07, "x"},
    KeyMapEntry{KEY_C, 0x08, "c"},
    KeyMapEntry{KEY_V, 0x09, "v"},
    KeyMapEntry{KEY_102ND, 0x0A, "section"},
    KeyMapEntry{KEY_B, 0x0B, "b"},
    KeyMapEntry{KEY_Q, 0x0C, "q"},
    KeyMapEntry{KEY_W, 0x0D, "w"},
    KeyMapEntry{KEY_E, 0x0E, "e"},
    KeyMapEntry{KEY_R, 0x0F, "r"},
    KeyMapEntry{KEY_Y, 0x10, "y"},
    KeyMapEntry{KEY_T, 0x11, "t"},
    KeyMapEntry{KEY_1, 0x12, "1"},
    KeyMapEntry{KEY_2, 0x13, "2"},
    KeyMapEntry{KEY_3, 0x14, "3"},
    KeyMapEntry{KEY_4, 0x15, "4"},
    KeyMapEntry{KEY_6, 0x16, "6"},
    KeyMapEntry{KEY_5, 0x17, "5"},
    KeyMapEntry{KEY_EQUAL, 0x18, "equal"},
    KeyMapEntry{KEY_9, 0x19, "9"},
    KeyMapEntry{KEY_7, 0x1A, "7"},
    KeyMapEntry{KEY_MINUS, 0x1B, "minus"},
    KeyMapEntry{KEY_8, 0x1C, "8"},
    KeyMapEntry{KEY_0, 0x1D, "0"},
    KeyMapEntry{KEY_RIGHTBRACE, 0x1E, "right-bracket"},
    KeyMapEntry{KEY_O, 0x1F, "o"},
    KeyMapEntry{KEY_U, 0x20, "u"},
    KeyMapEntry{KEY_LEFTBRACE, 0x21, "left-bracket"},
    KeyMapEntry{KEY_I, 0x22, "i"},
    KeyMapEntry{KEY_P, 0x23, "p"},
    KeyMapEntry{KEY_ENTER, 0x24, "return"},
    KeyMapEntry{KEY_L, 0x25, "l"},
    KeyMapEntry{KEY_J, 0x26, "j"},
    KeyMapEntry{KEY_APOSTROPHE, 0x27, "quote"},
    KeyMapEntry{KEY_K, 0x28, "k"},
    KeyMapEntry{KEY_SEMICOLON, 0x29, "semicolon"},
    KeyMapEntry{KEY_BACKSLASH, 0x2A, "backslash"},
    KeyMapEntry{KEY_COMMA, 0x2B, "comma"},
    KeyMapEntry{KEY_SLASH, 0x2C, "slash"},
    KeyMapEntry{KEY_N, 0x2D, "n"},
    KeyMapEntry{KEY_M, 0x2E, "m"},
    KeyMapEntry{KEY_DOT, 0x2F, "period"},
    KeyMapEntry{KEY_TAB, 0x30, "tab"},
    KeyMapEntry{KEY_SPACE, 0x31, "space"},
    KeyMapEntry{KEY_GRAVE, 0x32, "grave"},
    KeyMapEntry{KEY_BACKSPACE, 0x33, "backspace"},
    KeyMapEntry{KEY_ESC, 0x35, "escape"},
    KeyMapEntry{KEY_RIGHTMETA, 0x36, "right-command"},
    KeyMapEntry{KEY_LEFTMETA, 0x37, "command"},
    KeyMapEntry{KEY_LEFTSHIFT, 0x38, "shift"},
    KeyMapEntry{KEY_CAPSLOCK, 0x39, "caps-lock"},
    KeyMapEntry{KEY_LEFTALT, 0x3A, "option"},
    KeyMapEntry{KEY_LEFTCTRL, 0x3B, "control"},
    KeyMapEntry{KEY_RIGHTSHIFT, 0x3C, "right-shift"},
    KeyMapEntry{KEY_RIGHTALT, 0x3D, "right-option"},
    KeyMapEntry{KEY_RIGHTCTRL, 0x3E, "right-control"},
    KeyMapEntry{KEY_FN, 0x3F, "function"},
    KeyMapEntry{KEY_F17, 0x40, "f17"},
    KeyMapEntry{KEY_KPDOT, 0x41, "keypad-decimal"},
    KeyMapEntry{KEY_KPASTERISK, 0x43, "keypad-multiply"},
    KeyMapEntry{KEY_KPPLUS, 0x45, "keypad-plus"},
    KeyMapEntry{KEY_NUMLOCK, 0x47, "keypad-clear"},
    KeyMapEntry{KEY_VOLUMEUP, 0x48, "volume-up"},
    KeyMapEntry{KEY_VOLUMEDOWN, 0x49, "volume-down"},
    KeyMapEntry{KEY_MUTE, 0x4A, "mute"},
    KeyMapEntry{KEY_KPSLASH, 0x4B, "keypad-divide"},
    KeyMapEntry{KEY_KPENTER, 0x4C, "keypad-enter"},
    KeyMapEntry{KEY_KPMINUS, 0x4E, "keypad-minus"},
    KeyMapEntry{KEY_F18, 0x4F, "f18"},
    KeyMapEntry{KEY_F19, 0x50, "f19"},
    KeyMapEntry{KEY_KPEQUAL, 0x51, "keypad-equals"},
    KeyMapEntry{KEY_KP0, 0x52, "keypad-0"},
    KeyMapEntry{KEY_KP1, 0x53, "keypad-1"},
    KeyMapEntry{KEY_KP2, 0x54, "keypad-2"},
    KeyMapEntry{KEY_KP3, 0x55, "keypad-3"},
    KeyMapEntry{KEY_KP4, 0x56, "keypad-4"},
    KeyMapEntry{KEY_KP5, 0x57, "keypad-5"},
    KeyMapEntry{KEY_KP6, 0x58, "keypad-6"},
    KeyMapEntry{KEY_KP7, 0x59, "keypad-7"},
    KeyMapEntry{KEY_F20, 0x5A, "f20"},
    KeyMapEntry{KEY_KP8, 0x5B, "keypad-8"},
    KeyMapEntry{KEY_KP9, 0x5C, "keypad-9"},
    KeyMapEntry{KEY_YEN, 0x5D, "yen"},
    KeyMapEntry{KEY_RO, 0x5E, "underscore"},
    KeyMapEntry{KEY_KPCOMMA, 0x5F, "keypad-comma"},
    KeyMapEntry{KEY_F5, 0x60, "f5"},
    KeyMapEntry{KEY_F6, 0x61, "f6"},
    KeyMapEntry{KEY_F7, 0x62, "f7"},
    KeyMapEntry{KEY_F3, 0x63, "f3"},
    KeyMapEntry{KEY_F8, 0x64, "f8"},
    KeyMapEntry{KEY_F9, 0x65, "f9"},
    KeyMapEntry{KEY_HANJA, 0x66, "eisu"},
    KeyMapEntry{KEY_F11, 0x67, "f11"},
    KeyMapEntry{KEY_HANGEUL, 0x68, "kana"},
    KeyMapEntry{KEY_F13, 0x69, "f13"},
    KeyMapEntry{KEY_F16, 0x6A, "f16"},
    KeyMapEntry{KEY_F14, 0x6B, "f14"},
    KeyMapEntry{KEY_F10, 0x6D, "f10"},
    KeyMapEntry{KEY_COMPOSE, 0x6E, "menu"},
    KeyMapEntry{KEY_F12, 0x6F, "f12"},
    KeyMapEntry{KEY_F15, 0x71, "f15"},
    KeyMapEntry{KEY_INSERT, 0x72, "help"},
    KeyMapEntry{KEY_HOME, 0x73, "home"},
    KeyMapEntry{KEY_PAGEUP, 0x74, "page-up"},
    KeyMapEntry{KEY_DELETE, 0x75, "forward-delete"},
    KeyMapEntry{KEY_F4, 0x76, "f4"},
    KeyMapEntry{KEY_END, 0x77, "end"},
    KeyMapEntry{KEY_F2, 0x78, "f2"},
    KeyMapEntry{KEY_PAGEDOWN, 0x79, "page-down"},
    KeyMapEntry{KEY_F1, 0x7A, "f1"},
    KeyMapEntry{KEY_LEFT, 0x7B, "left"},
    KeyMapEntry{KEY_RIGHT, 0x7C, "right"},
    KeyMapEntry{KEY_DOWN, 0x7D, "down"},
    KeyMapEntry{KEY_UP, 0x7E, "up"},
};

// PC keys that a Mac treats as one of its own: Print Screen, Scroll Lock and Pause as F13 to F15,
// Insert's neighbour Help, and the Japanese conversion keys as Kana and Eisu.
struct EvdevAlias {
    int evdevCode;
    int keyCode;
};
constexpr std::array kEvdevAliases{
    EvdevAlias{KEY_SYSRQ, 0x69}, EvdevAlias{KEY_SCROLLLOCK, 0x6B}, EvdevAlias{KEY_PAUSE, 0x71},
    EvdevAlias{KEY_HELP, 0x72},  EvdevAlias{KEY_HENKAN, 0x68},     EvdevAlias{KEY_MUHENKAN, 0x66},
};

// Other words people use for some keys.
struct NameAlias {
    std::string_view alias;
    std::string_view name;
};
constexpr std::array kNameAliases{
    NameAlias{"enter", "return"},
    NameAlias{"esc", "escape"},
    NameAlias{"delete", "backspace"},
    NameAlias{"left-shift", "shift"},
    NameAlias{"ctrl", "control"},
    NameAlias{"left-control", "control"},
    NameAlias{"alt", "option"},
    NameAlias{"left-option", "option"},
    NameAlias{"right-alt", "right-option"},
    NameAlias{"super", "command"},
    NameAlias{"meta", "command"},
    NameAlias{"left-command", "command"},
    NameAlias{"right-super", "right-command"},
    NameAlias{"fn", "function"},
    NameAlias{"insert", "help"},
    NameAlias{"num-lock", "keypad-clear"},
};

// The shifted characters of a US layout, on the key that types the unshifted one.
constexpr std::string_view kUnshifted = "`1234567890-=[]\\;',./";
constexpr std::string_view kShifted = "~!@#$%^&*()_+{}|:\"<>?";
constexpr std::array<int, kUnshifted.size()> kPunctuationKeys{
    0x32, 0x12, 0x13, 0x14, 0x15, 0x17, 0x16, 0x1A, 0x1C, 0x19, 0x1D,
    0x1B, 0x18, 0x21, 0x1E, 0x2A, 0x29, 0x27, 0x2B, 0x2F, 0x2C};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const KeyMapEntry> keyMapEntries() {
    return kKeys;
}

std::optional<int> keyCodeForEvdevCode(int evdevCode) {
    for (const auto& key : kKeys) {
        if (key.evdevCode == evdevCode) {
            return key.keyCode;
        }
    }
    for (const auto& alias : kEvdevAliases) {
        if (alias.evdevCode == evdevCode) {
            return alias.keyCode;
        }
    }
    return std::nullopt;
}

std::optional<int> evdevCodeForKeyCode(int keyCode) {
    for (const auto& key : kKeys) {
        if (key.keyCode == keyCode) {
            return key.evdevCode;
        }
    }
    return std::nullopt;
}

std::optional<int> keyCodeForName(std::string_view name) {
    for (const auto& alias : kNameAliases) {
        if (equalsIgnoringCase(alias.alias, name)) {
            name = alias.name;
            break;
        }
    }
    for (const auto& key : kKeys) {
        if (equalsIgnoringCase(key.name, name)) {
            return key.keyCode;
        }
    }
    return std::nullopt;
}

std::string_view nameForKeyCode(int keyCode) {
    for (const auto& key : kKeys) {
        if (key.keyCode == keyCode) {
            return key.name;
        }
    }
    return {};
}

std::optional<TypedKey> keyForCharacter(char character) {
    switch (character) {
        case ' ':
            return TypedKey{0x31, false};
        case '\n':
            return TypedKey{0x24, false};
        case '\t':
            return TypedKey{0x30, false};
        default:
            break;
    }
    const auto c = static_cast<unsigned char>(character);
    if (std::isalpha(c)) {
        const char lower = static_cast<char>(std::tolower(c));
        return TypedKey{*keyCodeForName(std::string_view(&lower, 1)), std::isupper(c) != 0};
    }
    if (const auto at = kUnshifted.find(character); at != std::string_view::npos) {
        return TypedKey{kPunctuationKeys[at], false};
    }
    if (const auto at = kShifted.find(character); at != std::string_view::npos) {
        return TypedKey{kPunctuationKeys[at], true};
    }
    return std::nullopt;
}

}  // namespace plinka
