#include "tools/soundpack/PackKeyCodes.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>
#include <cctype>
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

// Keys by the names web browsers give them (KeyboardEvent.code), with the evdev key of each.
// Letters and digits are named by rule (KeyA, Digit1).
struct W3cKey {
    std::string_view name;
    int evdevCode;
};
constexpr std::array kW3cKeys{
    W3cKey{"Backquote", KEY_GRAVE},
    W3cKey{"Minus", KEY_MINUS},
    W3cKey{"Equal", KEY_EQUAL},
    W3cKey{"BracketLeft", KEY_LEFTBRACE},
    W3cKey{"BracketRight", KEY_RIGHTBRACE},
    W3cKey{"Backslash", KEY_BACKSLASH},
    W3cKey{"Semicolon", KEY_SEMICOLON},
    W3cKey{"Quote", KEY_APOSTROPHE},
    W3cKey{"Comma", KEY_COMMA},
    W3cKey{"Period", KEY_DOT},
    W3cKey{"Slash", KEY_SLASH},
    W3cKey{"IntlBackslash", KEY_102ND},
    W3cKey{"IntlRo", KEY_RO},
    W3cKey{"IntlYen", KEY_YEN},
    W3cKey{"Backspace", KEY_BACKSPACE},
    W3cKey{"Tab", KEY_TAB},
    W3cKey{"Enter", KEY_ENTER},
    W3cKey{"Space", KEY_SPACE},
    W3cKey{"Escape", KEY_ESC},
    W3cKey{"CapsLock", KEY_CAPSLOCK},
    W3cKey{"ShiftLeft", KEY_LEFTSHIFT},
    W3cKey{"ShiftRight", KEY_RIGHTSHIFT},
    W3cKey{"ControlLeft", KEY_LEFTCTRL},
    W3cKey{"ControlRight", KEY_RIGHTCTRL},
    W3cKey{"AltLeft", KEY_LEFTALT},
    W3cKey{"AltRight", KEY_RIGHTALT},
    W3cKey{"MetaLeft", KEY_LEFTMETA},
    W3cKey{"MetaRight", KEY_RIGHTMETA},
    W3cKey{"OSLeft", KEY_LEFTMETA},
    W3cKey{"OSRight", KEY_RIGHTMETA},
    W3cKey{"ContextMenu", KEY_COMPOSE},
    W3cKey{"Fn", KEY_FN},
    W3cKey{"F1", KEY_F1},
    W3cKey{"F2", KEY_F2},
    W3cKey{"F3", KEY_F3},
    W3cKey{"F4", KEY_F4},
    W3cKey{"F5", KEY_F5},
    W3cKey{"F6", KEY_F6},
    W3cKey{"F7", KEY_F7},
    W3cKey{"F8", KEY_F8},
    W3cKey{"F9", KEY_F9},
    W3cKey{"F10", KEY_F10},
    W3cKey{"F11", KEY_F11},
    W3cKey{"F12", KEY_F12},
    W3cKey{"F13", KEY_F13},
    W3cKey{"F14", KEY_F14},
    W3cKey{"F15", KEY_F15},
    W3cKey{"F16", KEY_F16},
    W3cKey{"F17", KEY_F17},
    W3cKey{"F18", KEY_F18},
    W3cKey{"F19", KEY_F19},
    W3cKey{"F20", KEY_F20},
    W3cKey{"PrintScreen", KEY_SYSRQ},
    W3cKey{"ScrollLock", KEY_SCROLLLOCK},
    W3cKey{"Pause", KEY_PAUSE},
    W3cKey{"Insert", KEY_INSERT},
    W3cKey{"Help", KEY_HELP},
    W3cKey{"Home", KEY_HOME},
    W3cKey{"PageUp", KEY_PAGEUP},
    W3cKey{"Delete", KEY_DELETE},
    W3cKey{"End", KEY_END},
    W3cKey{"PageDown", KEY_PAGEDOWN},
    W3cKey{"ArrowUp", KEY_UP},
    W3cKey{"ArrowDown", KEY_DOWN},
    W3cKey{"ArrowLeft", KEY_LEFT},
    W3cKey{"ArrowRight", KEY_RIGHT},
    W3cKey{"NumLock", KEY_NUMLOCK},
    W3cKey{"NumpadDivide", KEY_KPSLASH},
    W3cKey{"NumpadMultiply", KEY_KPASTERISK},
    W3cKey{"NumpadSubtract", KEY_KPMINUS},
    W3cKey{"NumpadAdd", KEY_KPPLUS},
    W3cKey{"NumpadEnter", KEY_KPENTER},
    W3cKey{"NumpadDecimal", KEY_KPDOT},
    W3cKey{"NumpadEqual", KEY_KPEQUAL},
    W3cKey{"NumpadComma", KEY_KPCOMMA},
    W3cKey{"Numpad0", KEY_KP0},
    W3cKey{"Numpad1", KEY_KP1},
    W3cKey{"Numpad2", KEY_KP2},
    W3cKey{"Numpad3", KEY_KP3},
    W3cKey{"Numpad4", KEY_KP4},
    W3cKey{"Numpad5", KEY_KP5},
    W3cKey{"Numpad6", KEY_KP6},
    W3cKey{"Numpad7", KEY_KP7},
    W3cKey{"Numpad8", KEY_KP8},
    W3cKey{"Numpad9", KEY_KP9},
    W3cKey{"AudioVolumeMute", KEY_MUTE},
    W3cKey{"AudioVolumeDown", KEY_VOLUMEDOWN},
    W3cKey{"AudioVolumeUp", KEY_VOLUMEUP},
    W3cKey{"Lang1", KEY_HANGEUL},
    W3cKey{"Lang2", KEY_HANJA},
    W3cKey{"Convert", KEY_HENKAN},
    W3cKey{"NonConvert", KEY_MUHENKAN},
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "KeyA" to "KeyZ" and "Digit0" to "Digit9": the key of that letter or digit.
std::optional<int> keyCodeForCharacterName(std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name.back())));
    const std::string_view prefix = name.substr(0, name.size() - 1);
    const bool letter = equalsIgnoringCase(prefix, "key") && c >= 'a' && c <= 'z';
    const bool digit = equalsIgnoringCase(prefix, "digit") && c >= '0' && c <= '9';
    if (!letter && !digit) {
        return std::nullopt;
    }
    return keyCodeForName(std::string_view(&c, 1));
}

}  // namespace

std::optional<int> keyCodeForW3cName(std::string_view name) {
    if (const auto character = keyCodeForCharacterName(name)) {
        return character;
    }
    for (const auto& key : kW3cKeys) {
        if (equalsIgnoringCase(key.name, name)) {
            return keyCodeForEvdevCode(key.evdevCode);
        }
    }
    return std::nullopt;
}

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
