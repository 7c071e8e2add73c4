#include "doubles/FakeEventTapService.h"

namespace plinka::testing {

std::shared_ptr<EventTap> FakeEventTapService::createEventTap(uint32_t, uint32_t, uint32_t,
                                                              CGEventMask, CGEventTapCallBack,
                                                              void*) {
    std::lock_guard lock(mutex_);
    if (permitted) {
        tap_ = std::make_shared<FakeEventTap>();
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
