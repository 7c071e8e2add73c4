#include "tools/theme/KeyNames.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>

#include "platform/linux/input/KeyMap.h"

namespace plinka::themetool {

namespace {

constexpr int kSampleKeyCode = 254;
// By button number.
constexpr std::string_view kMouseButtons[] = {"left", "right", "middle"};

std::vector<int> namedKeys(std::initializer_list<std::string_view> names) {
    std::vector<int> codes;
    for (auto name : names) {
        codes.push_back(*keyCodeForName(name));
    }
    return codes;
}

std::vector<int> keysWhoseNameStartsWith(std::string_view prefix) {
    std::vector<int> codes;
    for (const auto& key : keyMapEntries()) {
        if (key.name.starts_with(prefix)) {
            codes.push_back(key.keyCode);
        }
    }
    return codes;
}

std::optional<std::vector<int>> group(std::string_view word) {
    if (word == "letters") {
        std::vector<int> codes;
        for (char c = 'a'; c <= 'z'; ++c) {
            codes.push_back(*keyCodeForName(std::string_view(&c, 1)));
        }
        return codes;
    }
    if (word == "digits") {
        return namedKeys({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    }
    if (word == "punctuation") {
        return namedKeys({"grave", "minus", "equal", "left-bracket", "right-bracket", "backslash",
                          "semicolon", "quote", "comma", "period", "slash", "section"});
    }
    if (word == "modifiers") {
        return namedKeys({"shift", "right-shift", "control", "right-control", "option",
                          "right-option", "command", "right-command", "caps-lock", "function"});
    }
    if (word == "arrows") {
        return namedKeys({"left", "right", "down", "up"});
    }
    if (word == "keypad") {
        return keysWhoseNameStartsWith("keypad-");
    }
    if (word == "function-keys") {
        std::vector<int> codes;
        for (int n = 1; n <= 20; ++n) {
            codes.push_back(*keyCodeForName("f" + std::to_string(n)));
        }
        return codes;
    }
    if (word == "all") {
        return keysWhoseNameStartsWith("");
    }
    return std::nullopt;
}

std::optional<int> number(std::string_view word) {
    int base = 10;
    if (word.starts_with("0x") || word.starts_with("0X")) {
        word.remove_prefix(2);
        base = 16;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() || value < 0 ||
        value > kSampleKeyCode) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> keyCodesForWord(std::string_view word) {
    if (word == "sample") {
        return std::vector<int>{kSampleKeyCode};
    }
    if (auto codes = group(word)) {
        return codes;
    }
    if (auto code = keyCodeForName(word)) {
        return std::vector<int>{*code};
    }
    if (auto code = number(word)) {
        return std::vector<int>{*code};
    }
    return std::nullopt;
}

std::string keyLabel(int keyCode) {
    if (keyCode == kSampleKeyCode) {
        return "sample";
    }
    if (auto name = nameForKeyCode(keyCode); !name.empty()) {
        return std::string(name);
    }
    return std::to_string(keyCode);
}

std::string_view keyGroupNames() {
    return "letters, digits, punctuation, modifiers, arrows, keypad, function-keys, all, sample";
}

std::optional<int> mouseButtonForName(std::string_view name) {
    const auto* found = std::find(std::begin(kMouseButtons), std::end(kMouseButtons), name);
    if (found == std::end(kMouseButtons)) {
        return std::nullopt;
    }
    return static_cast<int>(found - std::begin(kMouseButtons));
}

std::string_view mouseButtonName(int button) {
    return button >= 0 && static_cast<size_t>(button) < std::size(kMouseButtons)
               ? kMouseButtons[button]
               : std::string_view();
}

}  // namespace plinka::themetool
