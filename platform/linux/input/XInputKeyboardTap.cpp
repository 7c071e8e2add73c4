#include "platform/linux/input/XInputKeyboardTap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "base/NoDestructor.h"

namespace plinka {

namespace {

// X key codes are Linux key codes shifted by 8.
constexpr int kKeycodeOffset = 8;

// The Linux code of an X pointer button that sounds; -1 for the others (4 to 7 scroll).
int evdevCodeOfButton(int button) {
    switch (button) {
        case Button1:
            return BTN_LEFT;
        case Button2:
            return BTN_MIDDLE;
        case Button3:
            return BTN_RIGHT;
        default:
            return -1;
    }
}

// The display and XInput's major opcode; nullopt when the display lacks XInput 2.
std::optional<int> xinput2Opcode(Display* display) {
    int opcode = 0;
    int event = 0;
    int error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) {
        return std::nullopt;
    }
    // 2.1 and later deliver raw events also while another client holds a grab.
    int major = 2;
    int minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2) {
        return std::nullopt;
    }
    return opcode;
}

// Xlib's IO error handler is the process's; it ends the process unless the handler returns.
// Ours returns for the taps' own connections (their exit handlers end their run loops) and
// passes every other connection on to the handler that was there before.
class BrokenConnections {
  public:
    static void add(Display* display) {
        std::lock_guard lock(state_->mutex);
        if (!state_->installed) {
            state_->previous = XSetIOErrorHandler(&handle);
            state_->installed = true;
        }
        state_->taps.push_back(display);
    }
    static void remove(Display* display) {
        std::lock_guard lock(state_->mutex);
        std::erase(state_->taps, display);
    }
    // Xlib cannot close a connection after an IO error (XCloseDisplay waits forever), so the
    // lost connection's socket is closed and its small record kept for the process's life.
    static void keepLost(Display* display) {
        remove(display);
        ::close(ConnectionNumber(display));
        std::lock_guard lock(state_->mutex);
        state_->lost.push_back(display);
    }

  private:
    struct State {
        std::mutex mutex;
        std::vector<Display*> taps;
        std::vector<Display*> lost;
        XIOErrorHandler previous;
        bool installed;
    };

    static int handle(Display* display) {
        XIOErrorHandler previous = nullptr;
        {
            std::lock_guard lock(state_->mutex);
            if (std::find(state_->taps.begin(), state_->taps.end(), display) !=
                state_->taps.end()) {
                return 0;
            }
            previous = state_->previous;
        }
        return previous != nullptr ? previous(display) : 0;
    }

    // Never destroyed: a tap thread may meet its broken connection while exit() runs the
    // static destructors.
    static NoDestructor<State> state_;
};

NoDestructor<BrokenConnections::State> BrokenConnections::state_{};

XInputKeyboardTap::Connection openWithXInput2(const std::string& displayName, int& opcode) {
    XInputKeyboardTap::Connection display(
        XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()));
    if (!display) {
        return nullptr;
    }
    auto found = xinput2Opcode(display.get());
    if (!found) {
        return nullptr;
    }
    opcode = *found;
    return display;
}

}  // namespace

void XInputKeyboardTap::CloseDisplay::operator()(_XDisplay* display) const {
    BrokenConnections::remove(display);
    XCloseDisplay(display);
}

std::shared_ptr<XInputKeyboardTap> XInputKeyboardTap::create(const std::string& displayName,
                                                             CGEventMask eventsOfInterest,
                                                             CGEventTapCallBack callback,
                                                             void* userInfo) {
    int opcode = 0;
    auto display = openWithXInput2(displayName, opcode);
    if (!display) {
        return nullptr;
    }
    auto tap = std::make_shared<XInputKeyboardTap>(std::move(display), opcode, eventsOfInterest,
                                                   callback, userInfo);
    if (!tap->hasWakeUp() || !tap->listen()) {
        return nullptr;
    }
    return tap;
}

bool XInputKeyboardTap::canReadKeyboard(const std::string& displayName) {
    int opcode = 0;
    return openWithXInput2(displayName, opcode) != nullptr;
}

XInputKeyboardTap::XInputKeyboardTap(Connection display, int opcode, CGEventMask eventsOfInterest,
                                     CGEventTapCallBack callback, void* userInfo)
    : PollingEventTap(eventsOfInterest, callback, userInfo),
      display_(std::move(display)),
      opcode_(opcode) {
    // Without these, Xlib ends the whole process when the connection breaks.
    BrokenConnections::add(display_.get());
    XSetIOErrorExitHandler(display_.get(), &XInputKeyboardTap::connectionBroke, this);
}

void XInputKeyboardTap::connectionBroke(_XDisplay*, void* tap) {
    static_cast<XInputKeyboardTap*>(tap)->broken_ = true;
}

bool XInputKeyboardTap::listen() {
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    XISetMask(bits.data(), XI_RawKeyPress);
    XISetMask(bits.data(), XI_RawKeyRelease);
    if (interestedIn(kMouseButtonEventMask)) {
        XISetMask(bits.data(), XI_RawButtonPress);
        XISetMask(bits.data(), XI_RawButtonRelease);
    }
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(bits.size()), bits.data()};
    if (XISelectEvents(display_.get(), DefaultRootWindow(display_.get()), &mask, 1) != Success) {
        return false;
    }
    takeStateOfKeyboard();
    XSync(display_.get(), False);
    if (broken_) {
        BrokenConnections::keepLost(display_.release());
        return false;
    }
    return true;
}

void XInputKeyboardTap::takeStateOfKeyboard() {
    std::array<char, 32> keys{};
    XQueryKeymap(display_.get(), keys.data());
    KeyEventDecoder::KeySet down;
    for (int keycode = kKeycodeOffset; keycode < 256; ++keycode) {
        const auto byte = static_cast<unsigned char>(keys[static_cast<size_t>(keycode / 8)]);
        if ((byte & (1u << (keycode % 8))) != 0 && keycode - kKeycodeOffset < KEY_CNT) {
            down.set(static_cast<size_t>(keycode - kKeycodeOffset));
        }
    }
    decoder_.resynchronise(down);
    XkbStateRec state{};
    if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) == Success) {
        modifiers_.setCapsLock((state.locked_mods & LockMask) != 0);
    }
}

void XInputKeyboardTap::watchedDescriptors(std::vector<pollfd>& fds) {
    fds.push_back({ConnectionNumber(display_.get()), POLLIN, 0});
}

bool XInputKeyboardTap::readReady(std::span<const pollfd>) {
    Connection::pointer display = display_.get();
    while (!broken_ && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != opcode_ ||
            !XGetEventData(display, &cookie)) {
            continue;
        }
        const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
        const bool button =
            cookie.evtype == XI_RawButtonPress || cookie.evtype == XI_RawButtonRelease;
        const int evdevCode =
            button ? evdevCodeOfButton(raw->detail) : raw->detail - kKeycodeOffset;
        const int value = cookie.evtype == XI_RawKeyRelease || cookie.evtype == XI_RawButtonRelease
                              ? KeyEventDecoder::kRelease
                          : !button && (raw->flags & XIKeyRepeat) != 0 ? KeyEventDecoder::kRepeat
                                                                       : KeyEventDecoder::kPress;
        if (auto tapEvent = decoder_.decode(evdevCode, value)) {
            deliver(*tapEvent);
        }
        XFreeEventData(display, &cookie);
    }
    if (broken_) {
        BrokenConnections::keepLost(display_.release());
        disableWithNotice(kCGEventTapDisabledByUserInput);
        return false;
    }
    return true;
}

}  // namespace plinka
