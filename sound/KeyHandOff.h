#pragma once

#include <atomic>
#include <chrono>
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
    using EventClock = std::chrono::steady_clock;
    static constexpr size_t kCapacity = 4096;
    // An event older than this when the main thread gets to it is dropped: after a stall, a
    // burst of sounds for keys typed long ago is worse than silence.
    static constexpr std::chrono::milliseconds kMaxDelay{500};

    KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver, ButtonReceiver buttonReceiver,
               std::function<EventClock::time_point()> now = EventClock::now);
    ~KeyHandOff();
    KeyHandOff(const KeyHandOff&) = delete;
    KeyHandOff& operator=(const KeyHandOff&) = delete;

    // Tap thread: queues one event. When the main thread has fallen kCapacity events or
    // kMaxDelay behind, the event is dropped and counted; the count (never the keys) is logged.
    void post(int32_t keyCode, int state) { push(keyCode, state, false); }
    // Tap thread: queues one mouse-button event, as post does.
    void postMouseButton(int32_t button, int state) { push(button, state, true); }

  private:
    struct Event {
        int32_t code;
        int32_t state;
        bool mouseButton;
        EventClock::time_point posted;
    };
    void push(int32_t code, int state, bool mouseButton);
    void deliver();

    Log& log_;
    Receiver receiver_;
    ButtonReceiver buttonReceiver_;
    std::function<EventClock::time_point()> now_;
    SpscRing<Event, kCapacity> events_;
    std::atomic<uint64_t> dropped_{0};
    std::unique_ptr<MainThreadWakeup> wakeup_;
};

}  // namespace plinka
