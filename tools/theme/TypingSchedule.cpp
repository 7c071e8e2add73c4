#include "tools/theme/TypingSchedule.h"

#include <algorithm>
#include <map>

#include "base/SeededRandom.h"
#include "platform/linux/input/KeyMap.h"

namespace plinka::themetool {

namespace {

constexpr double kMinimumInterval = 0.100;  // 10 keys a second
constexpr double kMaximumInterval = 0.125;  // 8 keys a second
constexpr double kMinimumHold = 0.080;
constexpr double kMaximumHold = 0.120;
constexpr double kShiftLead = 0.045;   // Shift goes down this long before the key
constexpr double kShiftTrail = 0.030;  // and comes up this long after it
constexpr double kSameKeyGap = 0.020;
constexpr double kMinimumClickInterval = 0.200;
constexpr double kMaximumClickInterval = 0.250;

double between(SeededRandom& random, double low, double high) {
    return low + (high - low) * random.uniform();
}

}  // namespace

std::vector<KeyEvent> typingSchedule(std::string_view text, uint64_t seed) {
    SeededRandom random(seed);
    const int shiftKey = *keyCodeForName("shift");
    std::vector<KeyEvent> events;
    std::map<int, double> upTimes;
    double cursor = 0;
    bool shiftHeld = false;
    double lastShiftedUp = 0;

    for (size_t i = 0; i < text.size(); ++i) {
        const auto key = keyForCharacter(text[i]);
        if (!key) {
            continue;
        }
        if (!key->shift && shiftHeld) {
            events.push_back({lastShiftedUp + kShiftTrail, shiftKey, 0});
            shiftHeld = false;
            cursor = std::max(cursor, lastShiftedUp + kShiftTrail);
        }
        if (key->shift && !shiftHeld) {
            events.push_back({cursor, shiftKey, 1});
            shiftHeld = true;
            cursor += kShiftLead;
        }
        if (const auto up = upTimes.find(key->keyCode); up != upTimes.end()) {
            cursor = std::max(cursor, up->second + kSameKeyGap);
        }
        const double hold = between(random, kMinimumHold, kMaximumHold);
        events.push_back({cursor, key->keyCode, 1});
        events.push_back({cursor + hold, key->keyCode, 0});
        upTimes[key->keyCode] = cursor + hold;
        if (key->shift) {
            lastShiftedUp = cursor + hold;
        }
        cursor += between(random, kMinimumInterval, kMaximumInterval);
    }
    if (shiftHeld) {
        events.push_back({lastShiftedUp + kShiftTrail, shiftKey, 0});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.time < b.time; });
    return events;
}

std::vector<KeyEvent> clickSchedule(const std::vector<int>& buttons, double start, uint64_t seed) {
    SeededRandom random(seed);
    std::vector<KeyEvent> events;
    double cursor = start;
    for (const int button : buttons) {
        events.push_back({cursor, button, 1, true});
        events.push_back({cursor + between(random, kMinimumHold, kMaximumHold), button, 0, true});
        cursor += between(random, kMinimumClickInterval, kMaximumClickInterval);
    }
    return events;
}

}  // namespace plinka::themetool
