// The key capture: the tap thread, its callback, and the hand-off to the main thread.
#include <cstdio>
#include <mutex>

#include "app/AppController.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "sound/KeyHandOff.h"
#include "sound/SoundController.h"
#include "support/Format.h"

namespace plinka {

void AppController::detachEventTapThread() {
    tapThread_ = std::thread([this] { _createEventTap(); });
}

void AppController::stopEventTapThread() {
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

void AppController::_createEventTap() {
    auto tap = desktop_.eventTaps.createEventTap(kCGHIDEventTap, kCGHeadInsertEventTap,
                                                 kCGEventTapOptionListenOnly, kKeyEventMask,
                                                 eventTapCallback, this);
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
        _quitWithError("Failed to create event tap.  Contact support for help.");
        return;
    }
    eventTap_->addToCurrentRunLoop();
    eventTap_->enable(true);
    eventTap_->runCurrentRunLoop();
}

const CGEvent* eventTapCallback(EventTap* /*proxy*/, CGEventType type, const CGEvent* event,
                                void* userInfo) {
    auto& controller = *static_cast<AppController*>(userInfo);
    switch (type) {
        case kCGEventKeyDown:
        case kCGEventKeyUp: {
            const int64_t keyCode = event->integerValueField(kCGKeyboardEventKeycode);
            if (event->integerValueField(kCGKeyboardEventAutorepeat) != 0) {
                break;
            }
            controller.keyHandOff_->post(static_cast<int32_t>(keyCode),
                                         type == kCGEventKeyDown ? 1 : 0);
            break;
        }
        case kCGEventFlagsChanged: {
            const auto keyCode =
                static_cast<int32_t>(event->integerValueField(kCGKeyboardEventKeycode));
            const CGEventFlags current = event->flags & kModifierMask;
            const CGEventFlags previous = controller.previousFlags_;
            if ((current & ~previous) != 0) {
                controller.keyHandOff_->post(keyCode, 1);
            }
            if ((previous & ~current) != 0) {
                controller.keyHandOff_->post(keyCode, 0);
            }
            controller.previousFlags_ = current;
            break;
        }
        case kCGEventTapDisabledByTimeout:
            controller.platform_.log.log("Disabled by timeout");
            controller.eventTap_->enable(true);
            break;
        default:
            break;
    }
    return event;
}

void AppController::_keyDown(int32_t keyCode) {
    sounds_.playSoundForKeyCode(keyCode, 1);
}

void AppController::_keyUp(int32_t keyCode) {
    sounds_.playSoundForKeyCode(keyCode, 0);
}

// The alert needs the main thread's event loop: beep, alert and termination run there, in order.
void AppController::_quitWithError(const std::string& message) {
    auto quit = [this, message] {
        desktop_.application.beep();
        Alert alert;
        alert.messageText = "Plinka Error";
        alert.defaultButton = "Quit";
        alert.alternateButton = "";
        alert.informativeText = stringWithFormat("%@", {message});
        alert.style = AlertStyle::Critical;
        desktop_.alerts.runModal(alert);
        desktop_.application.terminate();
    };
    if (platform_.runLoop.isMainThread()) {
        quit();
    } else {
        platform_.runLoop.performOnMainThread(std::move(quit));
    }
}

}  // namespace plinka
