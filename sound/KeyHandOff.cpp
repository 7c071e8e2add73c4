#include "sound/KeyHandOff.h"

#include "base/Format.h"
#include "base/Log.h"

namespace plinka {

KeyHandOff::KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver, ButtonReceiver buttonReceiver,
                       std::function<EventClock::time_point()> now)
    : log_(log),
      receiver_(std::move(receiver)),
      buttonReceiver_(std::move(buttonReceiver)),
      now_(std::move(now)),
      wakeup_(runLoop.makeWakeup([this] { deliver(); })) {}

KeyHandOff::~KeyHandOff() = default;

void KeyHandOff::push(int32_t code, int state, bool mouseButton) {
    if (!events_.tryPush(Event{code, state, mouseButton, now_()})) {
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
        if (copy.mouseButton) {
            buttonReceiver_(copy.code, copy.state);
        } else {
            receiver_(copy.code, copy.state);
        }
    }
    if (const uint64_t dropped = late + dropped_.exchange(0, std::memory_order_relaxed);
        dropped > 0) {
        log_.log(stringWithFormat("%ld key events were dropped: the main thread fell behind",
                                  {static_cast<long>(dropped)}));
    }
}

}  // namespace plinka
