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
    bool hasWakeUp() const { return wake_.valid(); }

    // The backend's descriptors to wait on for reading.
    virtual void watchedDescriptors(std::vector<pollfd>& fds) = 0;
    // Reads what the ready descriptors hold and delivers it; false when the source is gone
    // for good and the run loop should end.
    virtual bool readReady(std::span<const pollfd> fds) = 0;
    // Catches up with the keys held now, after events were lost; on the tap's thread, when
    // delivery comes back on after the tap disabled itself.
    virtual void resynchronise() {}

    // Whether any of the event types in the mask is of interest.
    bool interestedIn(CGEventMask types) const { return (eventsOfInterest_ & types) != 0; }
    // Hands the event to the callback when the tap is enabled and its type is of interest.
    void deliver(const CGEvent& event) {
        if (enabled_.load(std::memory_order_relaxed) &&
            (eventsOfInterest_ & CGEventMaskBit(event.type)) != 0) {
            callback_(this, event.type, &event, userInfo_);
        }
    }
    // Disables the tap and tells the callback why (a timeout or user-input notice); a later
    // enable(true) resynchronises first.
    void disableWithNotice(CGEventType notice);
    // Runs a resynchronisation that a re-enable asked for.
    void resynchroniseIfAsked();

  private:
    const CGEventMask eventsOfInterest_;
    const CGEventTapCallBack callback_;
    void* const userInfo_;
    std::atomic<bool> enabled_{false};
    std::atomic<bool> resyncAsked_{false};
    std::atomic<bool> disabledItself_{false};
    std::atomic<bool> stopping_{false};
    std::thread::id thread_;
    FileDescriptor wake_;
    std::vector<pollfd> fds_;
};

}  // namespace plinka
