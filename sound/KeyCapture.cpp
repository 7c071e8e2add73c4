#include "sound/KeyCapture.h"

#include <cstdio>

#include "base/Log.h"

namespace plinka {

KeyCapture::KeyCapture(RunLoop& runLoop, Log& log, EventTapService& taps, Receiver receiver,
                       FatalError quitWithError)
    : log_(log),
      taps_(taps),
      quitWithError_(std::move(quitWithError)),
      keyHandOff_(runLoop, log, std::move(receiver)) {}

KeyCapture::~KeyCapture() {
    stopEventTapThread();
}

void KeyCapture::detachEventTapThread() {
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
        tapThread_.join();
    }
}

void KeyCapture::_createEventTap() {
    auto tap =
        taps_.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly,
                             kKeyEventMask, eventTapCallback, this);
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
