#include "sound/KeyCapture.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/Log.h"
#include "base/NoDestructor.h"

namespace plinka {

namespace {

// The captures whose tap threads may run. exit() (which Qt calls when the X server goes away)
// skips main's objects but destroys static ones that a tap thread may still be using, so an
// exit hook joins those threads first. Never destroyed: the hook runs late in exit().
struct RunningCaptures {
    std::mutex mutex;
    std::vector<KeyCapture*> captures;
    bool hooked = false;
};
NoDestructor<RunningCaptures> running;

void stopRunningCaptures() {
    std::vector<KeyCapture*> captures;
    {
        std::lock_guard lock(running->mutex);
        captures = running->captures;
    }
    for (KeyCapture* capture : captures) {
        capture->stopEventTapThread();
    }
}

}  // namespace

KeyCapture::KeyCapture(RunLoop& runLoop, Log& log, EventTapService& taps, Receiver receiver,
                       ButtonReceiver buttonReceiver, FatalError quitWithError)
    : log_(log),
      taps_(taps),
      quitWithError_(std::move(quitWithError)),
      keyHandOff_(runLoop, log, std::move(receiver), std::move(buttonReceiver)) {}

KeyCapture::~KeyCapture() {
    stopEventTapThread();
}

void KeyCapture::detachEventTapThread() {
    {
        std::lock_guard lock(running->mutex);
        // Registered after the objects the thread uses were made, so it runs before they go.
        if (!std::exchange(running->hooked, true)) {
            std::atexit(&stopRunningCaptures);
        }
        running->captures.push_back(this);
    }
    tapThread_ = std::thread([this] { _createEventTap(); });
}

void KeyCapture::stopEventTapThread() {
    {
        std::lock_guard lock(tapLock_);
        tapStopping_ = true;
        if (eventTap_) {
            eventTap_->stop();
        }
    }
    if (tapThread_.joinable()) {
        // exit() called on the tap thread itself cannot wait for it.
        if (tapThread_.get_id() == std::this_thread::get_id()) {
            tapThread_.detach();
        } else {
            tapThread_.join();
        }
    }
    std::lock_guard lock(running->mutex);
    std::erase(running->captures, this);
}

void KeyCapture::_createEventTap() {
    auto tap =
        taps_.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly,
                             kKeyEventMask | kMouseButtonEventMask, eventTapCallback, this);
    {
        std::lock_guard lock(tapLock_);
        eventTap_ = tap;
        if (tap && tapStopping_) {
            return;
        }
    }
    if (!eventTap_) {
        std::fputs("Failed to create event tap\n", stderr);
        std::fflush(stderr);
        quitWithError_("Failed to create event tap.  Contact support for help.");
        return;
    }
    eventTap_->addToCurrentRunLoop();
    eventTap_->enable(true);
    eventTap_->runCurrentRunLoop();
}

const CGEvent* KeyCapture::eventTapCallback(EventTap* /*proxy*/, CGEventType type,
                                            const CGEvent* event, void* userInfo) {
    auto& capture = *static_cast<KeyCapture*>(userInfo);
    switch (type) {
        case kCGEventKeyDown:
        case kCGEventKeyUp: {
            const int64_t keyCode = event->integerValueField(kCGKeyboardEventKeycode);
            if (event->integerValueField(kCGKeyboardEventAutorepeat) != 0) {
                break;
            }
            capture.keyHandOff_.post(static_cast<int32_t>(keyCode),
                                     type == kCGEventKeyDown ? 1 : 0);
            break;
        }
        case kCGEventFlagsChanged: {
            const auto keyCode =
                static_cast<int32_t>(event->integerValueField(kCGKeyboardEventKeycode));
            const CGEventFlags current = event->flags & kModifierMask;
            const CGEventFlags previous = capture.previousFlags_;
            if ((current & ~previous) != 0) {
                capture.keyHandOff_.post(keyCode, 1);
            }
            if ((previous & ~current) != 0) {
                capture.keyHandOff_.post(keyCode, 0);
            }
            capture.previousFlags_ = current;
            break;
        }
        case kCGEventLeftMouseDown:
        case kCGEventRightMouseDown:
        case kCGEventOtherMouseDown:
        case kCGEventLeftMouseUp:
        case kCGEventRightMouseUp:
        case kCGEventOtherMouseUp: {
            const bool down = type == kCGEventLeftMouseDown || type == kCGEventRightMouseDown ||
                              type == kCGEventOtherMouseDown;
            capture.keyHandOff_.postMouseButton(
                static_cast<int32_t>(event->integerValueField(kCGMouseEventButtonNumber)),
                down ? 1 : 0);
            break;
        }
        case kCGEventTapDisabledByTimeout:
            capture.log_.log("Disabled by timeout");
            capture.eventTap_->enable(true);
            break;
        default:
            break;
    }
    return event;
}

}  // namespace plinka
