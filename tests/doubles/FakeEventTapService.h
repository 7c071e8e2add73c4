#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/EventTap.h"

namespace plinka::testing {

// A tap whose events the test delivers itself, on the thread that runs the tap's loop. Like a
// real tap it passes on only the event types it was made for, and every notice.
class FakeEventTap final : public EventTap {
  public:
    FakeEventTap(CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo)
        : eventsOfInterest_(eventsOfInterest), callback_(callback), userInfo_(userInfo) {}

    void enable(bool enabled) override;
    void addToCurrentRunLoop() override;
    void runCurrentRunLoop() override;
    void stop() override;

    // Queues one event for the tap's thread; delivered only while the tap is enabled.
    void post(const CGEvent& event);
    // Delivers the event now on the calling thread, as the loop would.
    const CGEvent* deliver(const CGEvent& event);
    // Waits until the loop has delivered every posted event.
    void waitUntilDelivered();

    bool isEnabled() const;
    int enableCount() const;
    std::optional<std::thread::id> runLoopThread() const;

  private:
    bool ofInterest(CGEventType type) const;

    CGEventMask eventsOfInterest_;
    CGEventTapCallBack callback_;
    void* userInfo_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<CGEvent> queue_;
    bool enabled_ = false;
    bool stopped_ = false;
    bool delivering_ = false;
    int enableCount_ = 0;
    std::optional<std::thread::id> thread_;
};

// Makes FakeEventTaps, or none when capture is refused.
class FakeEventTapService final : public EventTapService {
  public:
    std::shared_ptr<EventTap> createEventTap(uint32_t location, uint32_t placement,
                                             uint32_t options, CGEventMask eventsOfInterest,
                                             CGEventTapCallBack callback, void* userInfo) override;
    bool canCapture() override {
        ++captureChecks;
        return permitted;
    }

    // Waits until a tap has been made (or refused), answering it.
    std::shared_ptr<FakeEventTap> waitForTap();

    std::atomic<bool> permitted = true;
    std::atomic<int> captureChecks = 0;

  private:
    std::mutex mutex_;
    std::condition_variable made_;
    bool answered_ = false;
    std::shared_ptr<FakeEventTap> tap_;
};

}  // namespace plinka::testing
