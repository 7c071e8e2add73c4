#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "platform/EventTap.h"

namespace plinka::testing {

// One event as the callback saw it (notices included), comparable and printable.
struct Seen {
    CGEventType type = 0;
    int64_t keycode = 0;
    CGEventFlags flags = 0;
    int64_t autorepeat = 0;
    int64_t button = 0;

    bool operator==(const Seen&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Seen& seen) {
        return out << "{type " << static_cast<int32_t>(seen.type) << ", key 0x" << std::hex
                   << seen.keycode << ", flags 0x" << seen.flags << std::dec << ", repeat "
                   << seen.autorepeat << ", button " << seen.button << "}";
    }
};

constexpr CGEventFlags kLeftShift = kCGEventFlagMaskShift | kDeviceLeftShift;

inline Seen down(int64_t key, CGEventFlags flags = 0, int64_t repeat = 0) {
    return {kCGEventKeyDown, key, flags, repeat};
}
inline Seen up(int64_t key, CGEventFlags flags = 0) {
    return {kCGEventKeyUp, key, flags, 0};
}
inline Seen flagsChanged(int64_t key, CGEventFlags flags) {
    return {kCGEventFlagsChanged, key, flags, 0};
}
inline Seen mouse(int button, bool down, CGEventFlags flags = 0) {
    return {mouseEventType(button, down), 0, flags, 0, button};
}

// Collects what a tap hands its callback, from the tap's thread; re-enables the tap on the
// timeout notice as the key capture does.
class TapRecorder {
  public:
    static const CGEvent* record(EventTap* proxy, CGEventType type, const CGEvent* event,
                                 void* recorder) {
        auto* self = static_cast<TapRecorder*>(recorder);
        {
            std::lock_guard lock(self->_mutex);
            self->_events.push_back(Seen{type, event->integerValueField(kCGKeyboardEventKeycode),
                                         event->flags,
                                         event->integerValueField(kCGKeyboardEventAutorepeat),
                                         event->integerValueField(kCGMouseEventButtonNumber)});
        }
        self->_arrived.notify_all();
        if (type == kCGEventTapDisabledByTimeout) {
            proxy->enable(true);
        }
        return event;
    }

    // Waits until `count` events arrived, or ten seconds pass; answers the events.
    std::vector<Seen> waitFor(size_t count) {
        std::unique_lock lock(_mutex);
        _arrived.wait_for(lock, std::chrono::seconds(10), [&] { return _events.size() >= count; });
        return _events;
    }

  private:
    std::mutex _mutex;
    std::condition_variable _arrived;
    std::vector<Seen> _events;
};

// Runs a tap on a thread of its own the way the key capture does; stops it when let go.
class TapThread {
  public:
    explicit TapThread(std::shared_ptr<EventTap> tap)
        : _tap(std::move(tap)), _thread([this] {
              _tap->addToCurrentRunLoop();
              _tap->enable(true);
              _tap->runCurrentRunLoop();
          }) {}
    ~TapThread() {
        _tap->stop();
        if (_thread.joinable()) {
            _thread.join();
        }
    }
    TapThread(const TapThread&) = delete;
    TapThread& operator=(const TapThread&) = delete;

  private:
    std::shared_ptr<EventTap> _tap;
    std::thread _thread;
};

}  // namespace plinka::testing
