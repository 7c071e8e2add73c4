#pragma once

#include <linux/input-event-codes.h>

#include <bitset>
#include <optional>
#include <vector>

#include "platform/EventTap.h"
#include "platform/linux/input/ModifierFlags.h"

namespace plinka {

// Turns one keyboard's or mouse's key events (Linux key codes) into tap events: theme key codes,
// the auto-repeat mark, modifier keys as flags-changed events carrying the shared flags, and the
// left, right and middle mouse buttons as mouse events.
class KeyEventDecoder {
  public:
    using KeySet = std::bitset<KEY_CNT>;

    // Press values as the kernel reports them.
    static constexpr int kRelease = 0;
    static constexpr int kPress = 1;
    static constexpr int kRepeat = 2;

    explicit KeyEventDecoder(ModifierFlags& modifiers) : modifiers_(modifiers) {}

    // The tap event for one key event of this device; a press of a key that is already down
    // counts as an auto-repeat. nullopt for keys without a theme key code or mouse button
    // number, for repeats of modifiers and buttons (they do not repeat), for releases of
    // modifiers and buttons that are not down, and for the release of Caps Lock (it toggles on
    // presses).
    std::optional<CGEvent> decode(int evdevCode, int value);
    // The events that let go of every key this keyboard holds, for when it goes away.
    std::vector<CGEvent> releaseAll();
    // Takes over the keys that are down after events were lost, without making events.
    void resynchronise(const KeySet& down);

    const KeySet& held() const { return held_; }

  private:
    std::optional<CGEvent> decodeModifier(int evdevCode, int keyCode, int value);
    std::optional<CGEvent> decodeButton(int evdevCode, int button, int value);

    ModifierFlags& modifiers_;
    KeySet held_;
};

}  // namespace plinka
