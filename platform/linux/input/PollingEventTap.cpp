#include "platform/linux/input/PollingEventTap.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

namespace plinka {

PollingEventTap::PollingEventTap(CGEventMask eventsOfInterest, CGEventTapCallBack callback,
                                 void* userInfo)
    : _eventsOfInterest(eventsOfInterest),
      _callback(callback),
      _userInfo(userInfo),
      _wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void PollingEventTap::enable(bool enabled) {
    if (enabled && _disabledItself.exchange(false)) {
        _resyncAsked = true;
    }
    _enabled = enabled;
}

void PollingEventTap::addToCurrentRunLoop() {
    _thread = std::this_thread::get_id();
}

void PollingEventTap::runCurrentRunLoop() {
    // A run loop without the tap's source has nothing to run.
    if (_thread != std::this_thread::get_id()) {
        return;
    }
    while (!_stopping) {
        resynchroniseIfAsked();
        _fds.clear();
        _fds.push_back({_wake.get(), POLLIN, 0});
        watchedDescriptors(_fds);
        if (::poll(_fds.data(), _fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (_stopping) {
            return;
        }
        if ((_fds[0].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] auto drained = ::read(_wake.get(), &count, sizeof count);
        }
        if (!readReady(std::span<const pollfd>(_fds).subspan(1))) {
            return;
        }
    }
}

void PollingEventTap::stop() {
    _stopping = true;
    const uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(_wake.get(), &one, sizeof one);
}

void PollingEventTap::disableWithNotice(CGEventType notice) {
    _enabled = false;
    _disabledItself = true;
    CGEvent event;
    event.type = notice;
    _callback(this, notice, &event, _userInfo);
}

void PollingEventTap::resynchroniseIfAsked() {
    if (_resyncAsked.exchange(false)) {
        resynchronise();
    }
}

}  // namespace plinka
