#pragma once

#include <memory>
#include <vector>

#include "platform/RunLoop.h"
#include "platform/linux/headless/HeadlessRunLoop.h"

namespace plinka::testing {

// The headless run loop with timers on a virtual clock that only advance() moves: queued tasks
// and wake-ups run on runPending(), as the headless loop drains them.
class ManualRunLoop final : public RunLoop {
  public:
    bool isMainThread() const override { return tasks_.isMainThread(); }
    void performOnMainThread(Task task) override { tasks_.performOnMainThread(std::move(task)); }
    std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats, TimerAction action) override;
    std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) override {
        return tasks_.makeWakeup(std::move(onMainThread));
    }

    void runPending() { tasks_.drain(); }
    // Moves the virtual clock forward, firing due timers in time order and running queued tasks.
    void advance(double seconds);
    size_t scheduledTimerCount() const;

  private:
    struct Entry;
    class ManualTimer;

    HeadlessRunLoop tasks_;
    double now_ = 0;
    std::vector<std::shared_ptr<Entry>> timers_;
};

}  // namespace plinka::testing
