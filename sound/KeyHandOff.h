#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/SpscRing.h"
#include "platform/RunLoop.h"

namespace plinka {

class Log;

// Carries key and mouse-button events from the tap thread to the main thread in order, without
// waiting, allocating or locking on either side: a fixed ring and an allocation-free wake-up.
class KeyHandOff {
  public:
    // Called on the main thread for each key event, in the order posted.
    using Receiver = std::function<void(int32_t keyCode, int state)>;
    // Called on the main thread for each mouse-button event, in the same order.
    using ButtonReceiver = std::function<void(int32_t button, int state)>;
    static constexpr size_t kCapacity = 4096;

    KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver, ButtonReceiver buttonReceiver);
    ~KeyHandOff();
    KeyHandOff(const KeyHandOff&) = delete;
    KeyHandOff& operator=(const KeyHandOff&) = delete;

    // Tap thread: queues one event. When the main thread has fallen kCapacity events behind,
    // the event is dropped and counted; the count (never the keys) is logged.
    void post(int32_t keyCode, int state) { push({keyCode, state, false}); }
    // Tap thread: queues one mouse-button event, as post does.
    void postMouseButton(int32_t button, int state) { push({button, state, true}); }

  private:
    struct Event {
        int32_t code;
        int32_t state;
        bool mouseButton;
    };
    void push(const Event& event);
    void deliver();

    Log& log_;
    Receiver receiver_;
    ButtonReceiver buttonReceiver_;
    SpscRing<Event, kCapacity> events_;
    std::atomic<uint64_t> dropped_{0};
    std::unique_ptr<MainThreadWakeup> wakeup_;
};

}  // namespace plinka
