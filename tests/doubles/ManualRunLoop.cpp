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

std::unique_ptr<Timer> ManualRunLoop::scheduleTimer(double seconds, bool repeats,
                                                    TimerAction action) {
    auto entry =
        std::make_shared<Entry>(Entry{seconds, repeats, now_ + seconds, true, std::move(action)});
    timers_.push_back(entry);
    return std::make_unique<ManualTimer>(entry);
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
            entry->action(*entry->handle);
        }
        runPending();
    }
    now_ = end;
}

size_t ManualRunLoop::scheduledTimerCount() const {
    return static_cast<size_t>(std::count_if(timers_.begin(), timers_.end(),
                                             [](const auto& entry) { return entry->valid; }));
}

}  // namespace plinka::testing
