#pragma once

#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/KeyNames.h"

namespace plinka {

class Log;
class UserDefaults;

// The mute key: the default "muteShortcut" ("Ctrl+Alt+M"; empty for none), recognised in the
// key events that reach the sounds. Nothing is grabbed, so every application still gets the
// keys. A chord whose key types text without Ctrl, Alt or Super would mute while typing: it is
// refused, when stored from outside too (with one log line).
class MuteShortcut {
  public:
    // `changed` is called after the shortcut in force changed.
    MuteShortcut(UserDefaults& defaults, const KeyNames& names, Log& log,
                 std::function<void()> changed);
    MuteShortcut(const MuteShortcut&) = delete;
    MuteShortcut& operator=(const MuteShortcut&) = delete;

    // The shortcut in force as text; empty when there is none.
    std::string text() const { return chord_ ? textForChord(*chord_) : std::string(); }
    // Stores the chord, or with nullopt turns the shortcut off; a refusal says why.
    std::optional<std::string> setChord(const std::optional<KeyChord>& chord);

    // While suspended the chord is not recognised; held modifiers are still followed.
    void setSuspended(bool suspended) { suspended_ = suspended; }
    // The key events as they reach the sounds. True for the press that completes the shortcut
    // and for the release of its key: those two play no sound of their own.
    bool keyDown(int keyCode);
    bool keyUp(int keyCode);

    // "Ctrl+Alt+M": the modifiers' words and the key's name, parts in any case; nullopt when a
    // part names no key or the last one is a modifier.
    std::optional<KeyChord> chordForText(std::string_view text) const;
    std::string textForChord(const KeyChord& chord) const;
    // Why the chord cannot be the shortcut; nullopt when it can.
    std::optional<std::string> refusal(const KeyChord& chord) const;

  private:
    void takeInDefault();
    CGEventFlags heldModifiers() const;

    UserDefaults& defaults_;
    const KeyNames& names_;
    Log& log_;
    std::function<void()> changed_;
    std::optional<KeyChord> chord_;
    std::bitset<8> heldKeys_;  // by the modifier keys' order in the .cpp's table
    std::optional<int> pressedChordKey_;
    bool suspended_ = false;
};

}  // namespace plinka
