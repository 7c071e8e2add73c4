#include "doubles/FakeEventTapService.h"

namespace plinka::testing {

void FakeEventTap::enable(bool enabled) {
    std::lock_guard lock(mutex_);
    enabled_ = enabled;
    enableCount_ += enabled ? 1 : 0;
    changed_.notify_all();
}

void FakeEventTap::addToCurrentRunLoop() {
    std::lock_guard lock(mutex_);
    thread_ = std::this_thread::get_id();
}

void FakeEventTap::runCurrentRunLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopped_ || (enabled_ && !queue_.empty()); });
        if (stopped_) {
            return;
        }
        const CGEvent event = queue_.front();
        queue_.erase(queue_.begin());
        delivering_ = true;
        lock.unlock();
        if (ofInterest(event.type)) {
            callback_(this, event.type, &event, userInfo_);
        }
        lock.lock();
        delivering_ = false;
        changed_.notify_all();
    }
}

void FakeEventTap::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

void FakeEventTap::post(const CGEvent& event) {
    std::lock_guard lock(mutex_);
    queue_.push_back(event);
    changed_.notify_all();
}

const CGEvent* FakeEventTap::deliver(const CGEvent& event) {
    return ofInterest(event.type) ? callback_(this, event.type, &event, userInfo_) : &event;
}

bool FakeEventTap::ofInterest(CGEventType type) const {
    return type >= 64 || (eventsOfInterest_ & CGEventMaskBit(type)) != 0;
}

void FakeEventTap::waitUntilDelivered() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || (queue_.empty() && !delivering_); });
}

bool FakeEventTap::isEnabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

int FakeEventTap::enableCount() const {
    std::lock_guard lock(mutex_);
    return enableCount_;
}

std::optional<std::thread::id> FakeEventTap::runLoopThread() const {
    std::lock_guard lock(mutex_);
    return thread_;
}

std::shared_ptr<EventTap> FakeEventTapService::createEventTap(
    uint32_t /*location*/, uint32_t /*placement*/, uint32_t /*options*/,
    CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo) {
    std::lock_guard lock(mutex_);
    if (permitted) {
        tap_ = std::make_shared<FakeEventTap>(eventsOfInterest, callback, userInfo);
    }
    answered_ = true;
    made_.notify_all();
    return tap_;
}

std::shared_ptr<FakeEventTap> FakeEventTapService::waitForTap() {
    std::unique_lock lock(mutex_);
    made_.wait(lock, [&] { return answered_; });
    return tap_;
}

}  // namespace plinka::testing
