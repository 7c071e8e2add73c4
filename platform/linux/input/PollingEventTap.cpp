#include "platform/linux/input/PollingEventTap.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

namespace plinka {

PollingEventTap::PollingEventTap(CGEventMask eventsOfInterest, CGEventTapCallBack callback,
                                 void* userInfo)
    : eventsOfInterest_(eventsOfInterest),
      callback_(callback),
      userInfo_(userInfo),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void PollingEventTap::enable(bool enabled) {
    if (enabled && disabledItself_.exchange(false)) {
        resyncAsked_ = true;
    }
    enabled_ = enabled;
}

void PollingEventTap::addToCurrentRunLoop() {
    thread_ = std::this_thread::get_id();
}

void PollingEventTap::runCurrentRunLoop() {
    // A run loop without the tap's source has nothing to run.
    if (thread_ != std::this_thread::get_id()) {
        return;
    }
    while (!stopping_) {
        resynchroniseIfAsked();
        fds_.clear();
        fds_.push_back({wake_.get(), POLLIN, 0});
        watchedDescriptors(fds_);
        if (::poll(fds_.data(), fds_.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (stopping_) {
            return;
        }
        if ((fds_[0].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] auto drained = ::read(wake_.get(), &count, sizeof count);
        }
        if (!readReady(std::span<const pollfd>(fds_).subspan(1))) {
            return;
        }
    }
}

void PollingEventTap::stop() {
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wake_.get(), &one, sizeof one);
}

void PollingEventTap::disableWithNotice(CGEventType notice) {
    enabled_ = false;
    disabledItself_ = true;
    CGEvent event;
    event.type = notice;
    callback_(this, notice, &event, userInfo_);
}

void PollingEventTap::resynchroniseIfAsked() {
    if (resyncAsked_.exchange(false)) {
        resynchronise();
    }
}

}  // namespace plinka
