#pragma once

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/RunLoop.h"

namespace plinka {

// The run loop of a program without an event loop (the theme tool, benchmarks): the thread that
// made it is the main thread, and queued tasks and woken wake-ups run when it drains them.
class HeadlessRunLoop final : public RunLoop {
  public:
    HeadlessRunLoop();

    bool isMainThread() const override;
    void performOnMainThread(Task task) override;
    // Timers never fire on their own: nothing such a program does waits for one.
    std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats, TimerAction action) override;
    std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) override;
    // Runs the queued tasks and woken wake-ups, including what they queue or wake.
    void drain();

  private:
    class Wakeup;
    bool runWokenWakeups();

    const std::thread::id mainThread_;
    std::mutex mutex_;
    std::vector<Task> tasks_;
    std::vector<Wakeup*> wakeups_;
};

}  // namespace plinka
