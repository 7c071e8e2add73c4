#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/RunLoop.h"

namespace plinka::testing {

// A run loop driven by the test: queued tasks run on runPending(), timers on a virtual clock
// that only advance() moves. The thread that made it counts as the main thread.
class ManualRunLoop final : public RunLoop {
  public:
    ManualRunLoop();
    ~ManualRunLoop() override;

    bool isMainThread() const override;
    void performOnMainThread(Task task) override;
    std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats, TimerAction action) override;
    std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) override;

    // Runs queued tasks, including those they queue, until none is left; answers how many ran.
    size_t runPending();
    // Moves the virtual clock forward, firing due timers in time order and running queued tasks.
    void advance(double seconds);
    double now() const { return now_; }
    size_t scheduledTimerCount() const;
    size_t pendingTaskCount() const;

  private:
    struct Entry;
    class ManualTimer;
    struct WakeEntry;
    class ManualWakeup;

    std::thread::id mainThread_;
    double now_ = 0;
    mutable std::mutex mutex_;
    std::deque<Task> tasks_;
    std::vector<std::shared_ptr<Entry>> timers_;
    std::vector<std::shared_ptr<WakeEntry>> wakeups_;
};

}  // namespace plinka::testing
