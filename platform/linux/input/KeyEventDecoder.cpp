#include "platform/linux/input/KeyEventDecoder.h"

#include <array>
#include <cstdint>

#include "platform/linux/input/KeyMap.h"

namespace plinka {

namespace {

// The key map as a table indexed by Linux key code, so each event costs one look-up.
const std::array<int16_t, KEY_CNT>& keyCodeTable() {
    static const auto table = [] {
        std::array<int16_t, KEY_CNT> codes{};
        for (int code = 0; code < KEY_CNT; ++code) {
            codes[static_cast<size_t>(code)] =
                static_cast<int16_t>(keyCodeForEvdevCode(code).value_or(-1));
        }
        return codes;
    }();
    return table;
}

int keyCodeOf(int evdevCode) {
    if (evdevCode < 0 || evdevCode >= KEY_CNT) {
        return -1;
    }
    return keyCodeTable()[static_cast<size_t>(evdevCode)];
}

// The mouse button number of the buttons that sound; -1 for every other code.
int mouseButtonOf(int evdevCode) {
    switch (evdevCode) {
        case BTN_LEFT:
            return kLeftMouseButton;
        case BTN_RIGHT:
            return kRightMouseButton;
        case BTN_MIDDLE:
            return kMiddleMouseButton;
        default:
            return -1;
    }
}

}  // namespace

std::optional<CGEvent> KeyEventDecoder::decode(int evdevCode, int value) {
    const int keyCode = keyCodeOf(evdevCode);
    if (keyCode < 0) {
        const int button = mouseButtonOf(evdevCode);
        return button < 0 ? std::nullopt : decodeButton(evdevCode, button, value);
    }
    const auto code = static_cast<size_t>(evdevCode);
    if (ModifierFlags::isModifier(evdevCode)) {
        return decodeModifier(evdevCode, keyCode, value);
    }
    CGEvent event;
    event.keycode = keyCode;
    if (value == kRelease) {
        held_.reset(code);
        event.type = kCGEventKeyUp;
    } else {
        event.type = kCGEventKeyDown;
        event.autorepeat = value == kRepeat || held_.test(code) ? 1 : 0;
        held_.set(code);
    }
    event.flags = modifiers_.flags();
    return event;
}

std::optional<CGEvent> KeyEventDecoder::decodeModifier(int evdevCode, int keyCode, int value) {
    const auto code = static_cast<size_t>(evdevCode);
    if (value == kRelease) {
        // Releasing a modifier that is not down changes nothing (X11 clients send such).
        if (!held_.test(code)) {
            return std::nullopt;
        }
        held_.reset(code);
        if (evdevCode == KEY_CAPSLOCK) {
            return std::nullopt;
        }
        modifiers_.release(evdevCode);
    } else {
        // Modifiers do not auto-repeat.
        if (value == kRepeat || held_.test(code)) {
            return std::nullopt;
        }
        held_.set(code);
        modifiers_.press(evdevCode);
    }
    CGEvent event;
    event.type = kCGEventFlagsChanged;
    event.keycode = keyCode;
    event.flags = modifiers_.flags();
    return event;
}

std::optional<CGEvent> KeyEventDecoder::decodeButton(int evdevCode, int button, int value) {
    const auto code = static_cast<size_t>(evdevCode);
    const bool down = value != kRelease;
    if (held_.test(code) == down) {
        return std::nullopt;
    }
    held_.set(code, down);
    CGEvent event;
    event.type = mouseEventType(button, down);
    event.buttonNumber = button;
    event.flags = modifiers_.flags();
    return event;
}

std::vector<CGEvent> KeyEventDecoder::releaseAll() {
    std::vector<CGEvent> events;
    for (int code = 0; code < KEY_CNT; ++code) {
        if (held_.test(static_cast<size_t>(code))) {
            if (auto event = decode(code, kRelease)) {
                events.push_back(*event);
            }
        }
    }
    held_.reset();
    return events;
}

void KeyEventDecoder::resynchronise(const KeySet& down) {
    for (int code = 0; code < KEY_CNT; ++code) {
        const auto index = static_cast<size_t>(code);
        if (held_.test(index) == down.test(index)) {
            continue;
        }
        if (code != KEY_CAPSLOCK && ModifierFlags::isModifier(code)) {
            if (down.test(index)) {
                modifiers_.press(code);
            } else {
                modifiers_.release(code);
            }
        }
    }
    held_ = down;
}

}  // namespace plinka
