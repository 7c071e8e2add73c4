#pragma once

#include <poll.h>

#include <atomic>
#include <span>
#include <thread>
#include <vector>

#include "platform/EventTap.h"
#include "platform/linux/input/FileDescriptor.h"

namespace plinka {

// What both input backends share: the callback with its event mask, the enabled state, and a
// run loop that waits on the backend's descriptors until stop. Listen-only by construction:
// the callback's answer is never used, and no event goes anywhere but the callback.
class PollingEventTap : public EventTap {
  public:
    PollingEventTap(CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);

    void enable(bool enabled) override;
    void addToCurrentRunLoop() override;
    void runCurrentRunLoop() override;
    void stop() override;

  protected:
    // Whether the tap could get its wake-up descriptor (it fails only out of resources).
    bool hasWakeUp() const { return _wake.valid(); }

    // The backend's descriptors to wait on for reading.
    virtual void watchedDescriptors(std::vector<pollfd>& fds) = 0;
    // Reads what the ready descriptors hold and delivers it; false when the source is gone
    // for good and the run loop should end.
    virtual bool readReady(std::span<const pollfd> fds) = 0;
    // Catches up with the keys held now, after events were lost; on the tap's thread, when
    // delivery comes back on after the tap disabled itself.
    virtual void resynchronise() {}

    // Hands the event to the callback when the tap is enabled and its type is of interest.
    void deliver(const CGEvent& event) {
        if (_enabled.load(std::memory_order_relaxed) &&
            (_eventsOfInterest & CGEventMaskBit(event.type)) != 0) {
            _callback(this, event.type, &event, _userInfo);
        }
    }
    // Disables the tap and tells the callback why (a timeout or user-input notice); a later
    // enable(true) resynchronises first.
    void disableWithNotice(CGEventType notice);
    // Runs a resynchronisation that a re-enable asked for.
    void resynchroniseIfAsked();

  private:
    const CGEventMask _eventsOfInterest;
    const CGEventTapCallBack _callback;
    void* const _userInfo;
    std::atomic<bool> _enabled{false};
    std::atomic<bool> _resyncAsked{false};
    std::atomic<bool> _disabledItself{false};
    std::atomic<bool> _stopping{false};
    std::thread::id _thread;
    FileDescriptor _wake;
    std::vector<pollfd> _fds;
};

}  // namespace plinka
