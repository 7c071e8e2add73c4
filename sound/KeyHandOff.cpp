#include "sound/KeyHandOff.h"

#include "base/Format.h"
#include "base/Log.h"

namespace plinka {

KeyHandOff::KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver, ButtonReceiver buttonReceiver)
    : log_(log),
      receiver_(std::move(receiver)),
      buttonReceiver_(std::move(buttonReceiver)),
      wakeup_(runLoop.makeWakeup([this] { deliver(); })) {}

KeyHandOff::~KeyHandOff() = default;

void KeyHandOff::push(const Event& event) {
    if (!events_.tryPush(event)) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
    }
    wakeup_->wake();
}

void KeyHandOff::deliver() {
    while (const Event* event = events_.readSlot()) {
        const Event copy = *event;
        events_.release();
        if (copy.mouseButton) {
            buttonReceiver_(copy.code, copy.state);
        } else {
            receiver_(copy.code, copy.state);
        }
    }
    if (const uint64_t dropped = dropped_.exchange(0, std::memory_order_relaxed); dropped > 0) {
        log_.log(stringWithFormat("%ld key events were dropped: the main thread fell behind",
                                  {static_cast<long>(dropped)}));
    }
}

}  // namespace plinka
