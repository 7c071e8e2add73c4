#include "doubles/ManualRunLoop.h"

#include <algorithm>

namespace plinka::testing {

struct ManualRunLoop::Entry {
    double interval;
    bool repeats;
    double due;
    bool valid = true;
    TimerAction action;
    Timer* handle = nullptr;
};

class ManualRunLoop::ManualTimer final : public Timer {
  public:
    explicit ManualTimer(std::shared_ptr<Entry> entry) : entry_(std::move(entry)) {
        entry_->handle = this;
    }
    ~ManualTimer() override { invalidate(); }
    void fire() override {
        if (entry_->valid) {
            entry_->action(*this);
            if (!entry_->repeats) {
                invalidate();
            }
        }
    }
    void invalidate() override {
        entry_->valid = false;
        entry_->handle = nullptr;
    }
    bool isValid() const override { return entry_->valid; }

  private:
    std::shared_ptr<Entry> entry_;
};

ManualRunLoop::ManualRunLoop() : mainThread_(std::this_thread::get_id()) {}

ManualRunLoop::~ManualRunLoop() = default;

bool ManualRunLoop::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

void ManualRunLoop::performOnMainThread(Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

std::unique_ptr<Timer> ManualRunLoop::scheduleTimer(double seconds, bool repeats,
                                                    TimerAction action) {
    auto entry =
        std::make_shared<Entry>(Entry{seconds, repeats, now_ + seconds, true, std::move(action)});
    timers_.push_back(entry);
    return std::make_unique<ManualTimer>(entry);
}

struct ManualRunLoop::WakeEntry {
    std::atomic<bool> pending{false};
    Task task;
};

class ManualRunLoop::ManualWakeup final : public MainThreadWakeup {
  public:
    explicit ManualWakeup(std::shared_ptr<WakeEntry> entry) : entry_(std::move(entry)) {}
    ~ManualWakeup() override { entry_->task = nullptr; }
    ManualWakeup(const ManualWakeup&) = delete;
    ManualWakeup& operator=(const ManualWakeup&) = delete;
    void wake() override { entry_->pending.store(true); }

  private:
    std::shared_ptr<WakeEntry> entry_;
};

std::unique_ptr<MainThreadWakeup> ManualRunLoop::makeWakeup(Task onMainThread) {
    auto entry = std::make_shared<WakeEntry>();
    entry->task = std::move(onMainThread);
    std::lock_guard lock(mutex_);
    wakeups_.push_back(entry);
    return std::make_unique<ManualWakeup>(entry);
}

size_t ManualRunLoop::runPending() {
    size_t ran = 0;
    for (bool progress = true; progress;) {
        progress = false;
        for (;;) {
            Task task;
            {
                std::lock_guard lock(mutex_);
                if (tasks_.empty()) {
                    break;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
            ++ran;
            progress = true;
        }
        std::vector<std::shared_ptr<WakeEntry>> wakeups;
        {
            std::lock_guard lock(mutex_);
            wakeups = wakeups_;
        }
        for (const auto& wakeup : wakeups) {
            if (wakeup->task && wakeup->pending.exchange(false)) {
                wakeup->task();
                ++ran;
                progress = true;
            }
        }
    }
    return ran;
}

void ManualRunLoop::advance(double seconds) {
    const double end = now_ + seconds;
    runPending();
    for (;;) {
        std::erase_if(timers_, [](const auto& entry) { return !entry->valid; });
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](const auto& a, const auto& b) { return a->due < b->due; });
        if (next == timers_.end() || (*next)->due > end) {
            break;
        }
        auto entry = *next;
        now_ = entry->due;
        if (entry->repeats) {
            entry->due += entry->interval;
        } else {
            entry->valid = false;
        }
        if (entry->handle != nullptr) {
            Timer* handle = entry->handle;
            entry->action(*handle);
        }
        runPending();
    }
    now_ = end;
}

size_t ManualRunLoop::scheduledTimerCount() const {
    return static_cast<size_t>(std::count_if(timers_.begin(), timers_.end(),
                                             [](const auto& entry) { return entry->valid; }));
}

size_t ManualRunLoop::pendingTaskCount() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

}  // namespace plinka::testing
