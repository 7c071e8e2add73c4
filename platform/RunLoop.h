#pragma once

#include <functional>
#include <memory>

namespace plinka {

// A timer scheduled on a run loop. Destroying it invalidates it.
class Timer {
  public:
    virtual ~Timer() = default;
    // Runs the action now, without changing the schedule.
    virtual void fire() = 0;
    // Stops the timer for good; its action never runs again.
    virtual void invalidate() = 0;
    // Whether the timer is still scheduled.
    virtual bool isValid() const = 0;
};

// Runs a task on the main thread after being woken from any thread.
class MainThreadWakeup {
  public:
    virtual ~MainThreadWakeup() = default;
    // From any thread, without allocating or waiting: the task runs on the main thread at least
    // once after this call (several wakes may share one run).
    virtual void wake() = 0;
};

// The main thread's run loop.
class RunLoop {
  public:
    using Task = std::function<void()>;
    using TimerAction = std::function<void(Timer&)>;

    virtual ~RunLoop() = default;
    // Whether the calling thread is the main thread.
    virtual bool isMainThread() const = 0;
    // Queues the task on the main thread without waiting; tasks run in the order queued.
    virtual void performOnMainThread(Task task) = 0;
    // Schedules the action on the main run loop every `seconds` (once when not repeating).
    virtual std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats,
                                                 TimerAction action) = 0;
    // A wake-up that runs the task on the main thread; for hand-offs that must not allocate.
    virtual std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) = 0;
};

}  // namespace plinka
