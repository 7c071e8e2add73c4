#include "platform/linux/headless/HeadlessRunLoop.h"

#include <atomic>

namespace plinka {

namespace {

class InertTimer final : public Timer {
  public:
    void fire() override {}
    void invalidate() override { valid_ = false; }
    bool isValid() const override { return valid_; }

  private:
    bool valid_ = true;
};

}  // namespace

class HeadlessRunLoop::Wakeup final : public MainThreadWakeup {
  public:
    Wakeup(HeadlessRunLoop& loop, Task task) : loop_(loop), task_(std::move(task)) {
        std::lock_guard lock(loop_.mutex_);
        loop_.wakeups_.push_back(this);
    }
    ~Wakeup() override {
        std::lock_guard lock(loop_.mutex_);
        std::erase(loop_.wakeups_, this);
    }
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    void wake() override { woken_.store(true, std::memory_order_release); }
    // Runs the task when woken since the last run; whether it ran.
    bool runIfWoken() {
        if (!woken_.exchange(false, std::memory_order_acq_rel)) {
            return false;
        }
        task_();
        return true;
    }

  private:
    HeadlessRunLoop& loop_;
    Task task_;
    std::atomic<bool> woken_{false};
};

HeadlessRunLoop::HeadlessRunLoop() : mainThread_(std::this_thread::get_id()) {}

bool HeadlessRunLoop::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

void HeadlessRunLoop::performOnMainThread(Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

std::unique_ptr<Timer> HeadlessRunLoop::scheduleTimer(double, bool, TimerAction) {
    return std::make_unique<InertTimer>();
}

std::unique_ptr<MainThreadWakeup> HeadlessRunLoop::makeWakeup(Task onMainThread) {
    return std::make_unique<Wakeup>(*this, std::move(onMainThread));
}

bool HeadlessRunLoop::runWokenWakeups() {
    std::vector<Wakeup*> wakeups;
    {
        std::lock_guard lock(mutex_);
        wakeups = wakeups_;
    }
    bool ran = false;
    for (auto* wakeup : wakeups) {
        ran = wakeup->runIfWoken() || ran;
    }
    return ran;
}

void HeadlessRunLoop::drain() {
    for (;;) {
        std::vector<Task> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) {
            task();
        }
        if (!runWokenWakeups() && tasks.empty()) {
            return;
        }
    }
}

}  // namespace plinka
