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

// Carries key events from the tap thread to the main thread in order, without waiting,
// allocating or locking on either side: a fixed ring and an allocation-free wake-up.
class KeyHandOff {
  public:
    // Called on the main thread for each event, in the order posted.
    using Receiver = std::function<void(int32_t keyCode, int state)>;
    using EventClock = std::chrono::steady_clock;
    static constexpr size_t kCapacity = 4096;
    // An event older than this when the main thread gets to it is dropped: after a stall, a
    // burst of sounds for keys typed long ago is worse than silence.
    static constexpr std::chrono::milliseconds kMaxDelay{500};

    KeyHandOff(RunLoop& runLoop, Log& log, Receiver receiver,
               std::function<EventClock::time_point()> now = EventClock::now);
    ~KeyHandOff();
    KeyHandOff(const KeyHandOff&) = delete;
    KeyHandOff& operator=(const KeyHandOff&) = delete;

    // Tap thread: queues one event. When the main thread has fallen kCapacity events or
    // kMaxDelay behind, the event is dropped and counted; the count (never the keys) is logged.
    void post(int32_t keyCode, int state);

  private:
    struct Event {
        int32_t keyCode;
        int32_t state;
        EventClock::time_point posted;
    };
    void deliver();

    Log& log_;
    Receiver receiver_;
    std::function<EventClock::time_point()> now_;
    SpscRing<Event, kCapacity> events_;
    std::atomic<uint64_t> dropped_{0};
    std::unique_ptr<MainThreadWakeup> wakeup_;
};

}  // namespace plinka
