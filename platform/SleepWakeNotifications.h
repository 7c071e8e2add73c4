#pragma once

#include <functional>

namespace plinka {

// Notices that the system is about to sleep or has woken, delivered on the main thread.
class SleepWakeNotifications {
  public:
    using Observer = std::function<void()>;
    virtual ~SleepWakeNotifications() = default;
    // Calls the observer each time the system is about to sleep.
    virtual void addWillSleepObserver(Observer observer) = 0;
    // Calls the observer each time the system has woken.
    virtual void addDidWakeObserver(Observer observer) = 0;
};

}  // namespace plinka
