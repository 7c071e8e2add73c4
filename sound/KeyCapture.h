#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/EventTap.h"
#include "sound/KeyHandOff.h"

namespace plinka {

class Log;
class RunLoop;

// The modifier bits whose changes sound: Caps Lock, Shift, Control, Option, Command and fn.
constexpr CGEventFlags kModifierMask = 0x9F0000;
// The key events the tap listens for: key-down, key-up and flags-changed.
constexpr CGEventMask kKeyEventMask = 0x1C00;
// The capture of every key and mouse button on the desktop: a listen-only tap on a thread of its
// own whose callback drops auto-repeats, turns modifier changes into presses and releases, and
// hands each event to the main thread in order.
class KeyCapture {
  public:
    // Main thread: the key went down (state 1) or up (state 0).
    using Receiver = KeyHandOff::Receiver;
    // Main thread: the mouse button (0 left, 1 right, 2 middle) went down (1) or up (0).
    using ButtonReceiver = KeyHandOff::ButtonReceiver;
    // Any thread: the tap cannot be made; the message says so to the person.
    using FatalError = std::function<void(const std::string& message)>;

    KeyCapture(RunLoop& runLoop, Log& log, EventTapService& taps, Receiver receiver,
               ButtonReceiver buttonReceiver, FatalError quitWithError);
    ~KeyCapture();
    KeyCapture(const KeyCapture&) = delete;
    KeyCapture& operator=(const KeyCapture&) = delete;

    // Starts the tap thread with _createEventTap as its entry.
    void detachEventTapThread();
    // The tap thread's entry: creates the tap and runs the thread's loop for the process's life.
    void _createEventTap();
    // Ends the tap thread's loop and joins it (orderly shutdown and tests).
    void stopEventTapThread();
    // The tap made by _createEventTap; null before and when it failed.
    EventTap* eventTap() const { return eventTap_.get(); }

    // The tap's callback, on the tap thread; userInfo is the KeyCapture. Returns the event.
    static const CGEvent* eventTapCallback(EventTap* proxy, CGEventType type, const CGEvent* event,
                                           void* userInfo);

  private:
    Log& log_;
    EventTapService& taps_;
    FatalError quitWithError_;
    KeyHandOff keyHandOff_;
    // Written once on the tap thread before its loop runs; read by the callback there, and by
    // stopEventTapThread under the lock.
    std::shared_ptr<EventTap> eventTap_;
    std::mutex tapLock_;
    bool tapStopping_ = false;
    // The masked modifier flags of the last flags-changed event; only the callback touches it.
    CGEventFlags previousFlags_ = 0;
    std::thread tapThread_;
};

}  // namespace plinka
