#include "app/MuteShortcut.h"

#include <array>
#include <cctype>

#include "base/Log.h"
#include "platform/UserDefaults.h"

namespace plinka {

namespace {

// The modifier keys, left and right, with the flag each holds down and its word in shortcuts.
struct ModifierKey {
    int keyCode;
    CGEventFlags flag;
    std::string_view word;
};
constexpr std::array<ModifierKey, 8> kModifierKeys{{
    {0x3B, kCGEventFlagMaskControl, "Ctrl"},
    {0x3E, kCGEventFlagMaskControl, "Ctrl"},
    {0x3A, kCGEventFlagMaskAlternate, "Alt"},
    {0x3D, kCGEventFlagMaskAlternate, "Alt"},
    {0x38, kCGEventFlagMaskShift, "Shift"},
    {0x3C, kCGEventFlagMaskShift, "Shift"},
    {0x37, kCGEventFlagMaskCommand, "Super"},
    {0x36, kCGEventFlagMaskCommand, "Super"},
}};

std::optional<size_t> modifierIndex(int keyCode) {
    for (size_t i = 0; i < kModifierKeys.size(); ++i) {
        if (kModifierKeys[i].keyCode == keyCode) {
            return i;
        }
    }
    return std::nullopt;
}

// "m" as "M", "page-down" as "Page-down".
std::string displayed(std::string name) {
    if (!name.empty()) {
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    return name;
}

}  // namespace

MuteShortcut::MuteShortcut(UserDefaults& defaults, const KeyNames& names, Log& log,
                           std::function<void()> changed)
    : defaults_(defaults), names_(names), log_(log), changed_(std::move(changed)) {
    takeInDefault();
    defaults_.addObserver("muteShortcut", [this] {
        takeInDefault();
        changed_();
    });
}

void MuteShortcut::takeInDefault() {
    const Object value = defaults_.objectForKey("muteShortcut");
    const std::string* text = value.stringValue();
    chord_.reset();
    if (text == nullptr) {
        if (!value.isNil()) {
            log_.log("The default \"muteShortcut\" holds an " + std::string(value.className()) +
                     ", not a shortcut: there is none");
        }
        return;
    }
    if (text->empty()) {
        return;
    }
    const std::optional<KeyChord> chord = chordForText(*text);
    const std::optional<std::string> refused =
        chord ? refusal(*chord) : "it names no key with modifiers";
    if (refused) {
        log_.log("The mute shortcut \"" + *text + "\" is refused: " + *refused);
        return;
    }
    chord_ = chord;
}

std::optional<std::string> MuteShortcut::setChord(const std::optional<KeyChord>& chord) {
    if (chord) {
        if (auto refused = refusal(*chord)) {
            return refused;
        }
    }
    defaults_.setObject(Object::string(chord ? textForChord(*chord) : ""), "muteShortcut");
    return std::nullopt;
}

std::optional<KeyChord> MuteShortcut::chordForText(std::string_view text) const {
    KeyChord chord;
    for (size_t start = 0;;) {
        const size_t plus = text.find('+', start);
        const std::optional<int> keyCode = names_.keyCodeForName(text.substr(start, plus - start));
        if (!keyCode) {
            return std::nullopt;
        }
        const std::optional<size_t> modifier = modifierIndex(*keyCode);
        if (plus == std::string_view::npos) {
            if (modifier) {
                return std::nullopt;
            }
            chord.keyCode = *keyCode;
            return chord;
        }
        if (!modifier) {
            return std::nullopt;
        }
        chord.modifiers |= kModifierKeys[*modifier].flag;
        start = plus + 1;
    }
}

std::string MuteShortcut::textForChord(const KeyChord& chord) const {
    std::string text;
    // Each flag's word once, in the table's order (every flag has two keys, left first).
    for (size_t i = 0; i < kModifierKeys.size(); i += 2) {
        if ((chord.modifiers & kModifierKeys[i].flag) != 0) {
            text += std::string(kModifierKeys[i].word) + "+";
        }
    }
    return text + displayed(names_.nameForKeyCode(chord.keyCode));
}

std::optional<std::string> MuteShortcut::refusal(const KeyChord& chord) const {
    if (names_.nameForKeyCode(chord.keyCode).empty() || modifierIndex(chord.keyCode)) {
        return "a shortcut needs a key besides Ctrl, Alt, Shift and Super";
    }
    if ((chord.modifiers & ~kCGEventFlagMaskShift) == 0 && names_.typesText(chord.keyCode)) {
        return "a key that types needs Ctrl, Alt or Super with it, or it would mute while you "
               "type";
    }
    return std::nullopt;
}

CGEventFlags MuteShortcut::heldModifiers() const {
    CGEventFlags held = 0;
    for (size_t i = 0; i < kModifierKeys.size(); ++i) {
        if (heldKeys_[i]) {
            held |= kModifierKeys[i].flag;
        }
    }
    return held;
}

bool MuteShortcut::keyDown(int keyCode) {
    if (const auto modifier = modifierIndex(keyCode)) {
        heldKeys_.set(*modifier);
        return false;
    }
    if (!suspended_ && chord_ && keyCode == chord_->keyCode &&
        heldModifiers() == chord_->modifiers) {
        pressedChordKey_ = keyCode;
        return true;
    }
    return false;
}

bool MuteShortcut::keyUp(int keyCode) {
    if (const auto modifier = modifierIndex(keyCode)) {
        heldKeys_.reset(*modifier);
        return false;
    }
    if (pressedChordKey_ == keyCode) {
        pressedChordKey_.reset();
        return true;
    }
    return false;
}

}  // namespace plinka
