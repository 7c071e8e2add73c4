#pragma once

#include <thread>

#include "platform/RunLoop.h"

class QObject;

namespace plinka {

// The Qt event loop of the thread that makes it (the main thread): queued calls run in order,
// timers are QTimers.
class QtRunLoop final : public RunLoop {
  public:
    QtRunLoop();
    ~QtRunLoop() override;
    QtRunLoop(const QtRunLoop&) = delete;
    QtRunLoop& operator=(const QtRunLoop&) = delete;

    bool isMainThread() const override;
    void performOnMainThread(Task task) override;
    std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats, TimerAction action) override;
    std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) override;

  private:
    std::thread::id mainThread_;
    std::unique_ptr<QObject> context_;  // lives on the main thread; calls queued on it run in order
};

}  // namespace plinka
