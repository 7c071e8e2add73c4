#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/EventTap.h"

namespace plinka {

class AlertPresenter;
class Application;
class KeyHandOff;
class SoundController;
struct Platform;

// The desktop services the application controller needs beyond the sound engine's.
struct DesktopServices {
    EventTapService& eventTaps;
    AlertPresenter& alerts;
    Application& application;
};

// The application's delegate: launch and lifecycle, and the capture of every key on the desktop.
class AppController {
  public:
    AppController(Platform& platform, DesktopServices& desktop, SoundController& sounds);
    ~AppController();
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // After the interface is loaded: restores the theme.
    void awakeFromNib();
    // Once the application runs: starts the key capture.
    void applicationDidFinishLaunching();

    // Starts the tap thread with _createEventTap as its entry.
    void detachEventTapThread();

    // The tap thread's entry: creates the tap and runs the thread's loop for the process's life.
    void _createEventTap();
    // Main thread: the key went down (state 1) or up (state 0).
    void _keyDown(int32_t keyCode);
    void _keyUp(int32_t keyCode);
    // Shows the fatal error and ends the application; callable from any thread.
    void _quitWithError(const std::string& message);

    // The tap made by _createEventTap; null before and when it failed.
    EventTap* eventTap() const { return eventTap_.get(); }
    // Ends the tap thread's loop and joins it (orderly shutdown and tests).
    void stopEventTapThread();

  private:
    friend const CGEvent* eventTapCallback(EventTap* proxy, CGEventType type, const CGEvent* event,
                                           void* userInfo);

    Platform& platform_;
    DesktopServices& desktop_;
    SoundController& sounds_;
    std::unique_ptr<KeyHandOff> keyHandOff_;
    // Written once on the tap thread before its loop runs; read by the callback there, and by
    // stopEventTapThread under the lock.
    std::shared_ptr<EventTap> eventTap_;
    std::mutex tapLock_;
    bool tapStopping_ = false;
    // The masked modifier flags of the last flags-changed event; only the callback touches it.
    CGEventFlags previousFlags_ = 0;
    std::thread tapThread_;
};

// The modifier bits whose changes sound: Caps Lock, Shift, Control, Option, Command and fn.
constexpr CGEventFlags kModifierMask = 0x9F0000;
// The events the tap listens for: key-down, key-up and flags-changed.
constexpr CGEventMask kKeyEventMask = 0x1C00;

// The tap's callback, on the tap thread; userInfo is the AppController. Returns the event.
const CGEvent* eventTapCallback(EventTap* proxy, CGEventType type, const CGEvent* event,
                                void* userInfo);

}  // namespace plinka
