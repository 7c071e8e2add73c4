#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace plinka::themetool {

// One key going down (state 1) or up (state 0) at a time from the start, in seconds.
struct KeyEvent {
    double time = 0;
    int keyCode = 0;
    int state = 1;

    bool operator==(const KeyEvent&) const = default;
};

// The key events of someone typing `text` on a US layout at a natural pace: 8 to 10 keys a
// second, each held 80 to 120 ms, Shift held around capitals and shifted symbols, the same key
// never pressed again before it is up. Characters no key types are left out. In time order;
// the same text and seed always give the same events.
std::vector<KeyEvent> typingSchedule(std::string_view text, uint64_t seed);

}  // namespace plinka::themetool
