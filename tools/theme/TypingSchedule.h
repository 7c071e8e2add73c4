#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace plinka::themetool {

// One key (or mouse button) going down (state 1) or up (state 0) at a time from the start, in
// seconds.
struct KeyEvent {
    double time = 0;
    int keyCode = 0;  // the button number when `mouse`
    int state = 1;
    bool mouse = false;

    bool operator==(const KeyEvent&) const = default;
};

// The key events of someone typing `text` on a US layout at a natural pace: 8 to 10 keys a
// second, each held 80 to 120 ms, Shift held around capitals and shifted symbols, the same key
// never pressed again before it is up. Characters no key types are left out. In time order;
// the same text and seed always give the same events.
std::vector<KeyEvent> typingSchedule(std::string_view text, uint64_t seed);

// The events of someone clicking the buttons (0 left, 1 right, 2 middle) one after the other
// from `start`: 4 to 5 clicks a second, each held 80 to 120 ms.
std::vector<KeyEvent> clickSchedule(const std::vector<int>& buttons, double start, uint64_t seed);

}  // namespace plinka::themetool
