#include "sound/KeyHandOff.h"

#include "base/Format.h"
#include "base/Log.h"

namespace plinka {

KeyHandOff::KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver,
                       std::function<EventClock::time_point()> now)
    : log_(log),
      receiver_(std::move(receiver)),
      now_(std::move(now)),
      wakeup_(runLoop.makeWakeup([this] { deliver(); })) {}

KeyHandOff::~KeyHandOff() = default;

void KeyHandOff::post(int32_t keyCode, int state) {
    if (!events_.tryPush(Event{keyCode, state, now_()})) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
    }
    wakeup_->wake();
}

void KeyHandOff::deliver() {
    const EventClock::time_point oldest = now_() - kMaxDelay;
    uint64_t late = 0;
    while (const Event* event = events_.readSlot()) {
        const Event copy = *event;
        events_.release();
        if (copy.posted < oldest) {
            ++late;
            continue;
        }
        receiver_(copy.keyCode, copy.state);
    }
    if (const uint64_t dropped = late + dropped_.exchange(0, std::memory_order_relaxed);
        dropped > 0) {
        log_.log(stringWithFormat("%ld key events were dropped: the main thread fell behind",
                                  {static_cast<long>(dropped)}));
    }
}

}  // namespace plinka
