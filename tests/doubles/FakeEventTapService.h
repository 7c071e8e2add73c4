#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/EventTap.h"

namespace plinka::testing {

// A tap that hears nothing: its run loop waits until it is stopped.
class FakeEventTap final : public EventTap {
  public:
    void enable(bool) override {}
    void addToCurrentRunLoop() override {}
    void runCurrentRunLoop() override { stopping_.wait(false); }
    void stop() override {
        stopping_ = true;
        stopping_.notify_all();
    }

  private:
    std::atomic<bool> stopping_ = false;
};

// Makes FakeEventTaps, or none when capture is refused. Real taps are tested in tests/input,
// and the key capture runs one in tests/sound.
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
