#pragma once

#include <cstdint>
#include <memory>

namespace plinka {

// Keyboard and mouse-button events as a listen-only event tap delivers them: already in the
// theme format's terms (macOS virtual key codes, device-independent modifier flags, mouse
// button numbers).
using CGEventType = uint32_t;
using CGEventFlags = uint64_t;
using CGEventField = uint32_t;
using CGEventMask = uint64_t;

constexpr CGEventType kCGEventLeftMouseDown = 1;
constexpr CGEventType kCGEventLeftMouseUp = 2;
constexpr CGEventType kCGEventRightMouseDown = 3;
constexpr CGEventType kCGEventRightMouseUp = 4;
constexpr CGEventType kCGEventKeyDown = 10;
constexpr CGEventType kCGEventKeyUp = 11;
constexpr CGEventType kCGEventFlagsChanged = 12;
constexpr CGEventType kCGEventOtherMouseDown = 25;
constexpr CGEventType kCGEventOtherMouseUp = 26;
constexpr CGEventType kCGEventTapDisabledByTimeout = 0xFFFFFFFE;
constexpr CGEventType kCGEventTapDisabledByUserInput = 0xFFFFFFFF;

constexpr CGEventField kCGMouseEventButtonNumber = 3;
constexpr CGEventField kCGKeyboardEventAutorepeat = 8;
constexpr CGEventField kCGKeyboardEventKeycode = 9;

constexpr CGEventFlags kCGEventFlagMaskAlphaShift = 0x010000;
constexpr CGEventFlags kCGEventFlagMaskShift = 0x020000;
constexpr CGEventFlags kCGEventFlagMaskControl = 0x040000;
constexpr CGEventFlags kCGEventFlagMaskAlternate = 0x080000;
constexpr CGEventFlags kCGEventFlagMaskCommand = 0x100000;
constexpr CGEventFlags kCGEventFlagMaskNumericPad = 0x200000;
constexpr CGEventFlags kCGEventFlagMaskHelp = 0x400000;
constexpr CGEventFlags kCGEventFlagMaskSecondaryFn = 0x800000;
constexpr CGEventFlags kCGEventFlagMaskNonCoalesced = 0x100;
// Device-dependent bits that tell the left modifier key from the right one.
constexpr CGEventFlags kDeviceLeftControl = 0x0001;
constexpr CGEventFlags kDeviceLeftShift = 0x0002;
constexpr CGEventFlags kDeviceRightShift = 0x0004;
constexpr CGEventFlags kDeviceLeftCommand = 0x0008;
constexpr CGEventFlags kDeviceRightCommand = 0x0010;
constexpr CGEventFlags kDeviceLeftAlternate = 0x0020;
constexpr CGEventFlags kDeviceRightAlternate = 0x0040;
constexpr CGEventFlags kDeviceRightControl = 0x2000;

constexpr uint32_t kCGHIDEventTap = 0;
constexpr uint32_t kCGHeadInsertEventTap = 0;
constexpr uint32_t kCGEventTapOptionListenOnly = 1;

constexpr CGEventMask CGEventMaskBit(CGEventType type) {
    return CGEventMask{1} << type;
}

// Mouse button numbers: 0 left, 1 right, 2 middle (the first of the "other" buttons).
constexpr int kLeftMouseButton = 0;
constexpr int kRightMouseButton = 1;
constexpr int kMiddleMouseButton = 2;

// Every mouse button going down or up.
constexpr CGEventMask kMouseButtonEventMask =
    CGEventMaskBit(kCGEventLeftMouseDown) | CGEventMaskBit(kCGEventLeftMouseUp) |
    CGEventMaskBit(kCGEventRightMouseDown) | CGEventMaskBit(kCGEventRightMouseUp) |
    CGEventMaskBit(kCGEventOtherMouseDown) | CGEventMaskBit(kCGEventOtherMouseUp);

// The event type of a mouse button going down or up.
constexpr CGEventType mouseEventType(int button, bool down) {
    return button == kLeftMouseButton    ? (down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp)
           : button == kRightMouseButton ? (down ? kCGEventRightMouseDown : kCGEventRightMouseUp)
                                         : (down ? kCGEventOtherMouseDown : kCGEventOtherMouseUp);
}

// One event as the tap's callback sees it. Plain data: made and read without allocating.
struct CGEvent {
    CGEventType type = 0;
    int64_t keycode = 0;
    int64_t autorepeat = 0;
    CGEventFlags flags = 0;
    int64_t buttonNumber = 0;

    // The integer field (key code, auto-repeat or mouse button); 0 for other fields.
    int64_t integerValueField(CGEventField field) const {
        return field == kCGKeyboardEventKeycode      ? keycode
               : field == kCGKeyboardEventAutorepeat ? autorepeat
               : field == kCGMouseEventButtonNumber  ? buttonNumber
                                                     : 0;
    }
};

class EventTap;
// Called on the tap's thread for every event of interest and every notice; returns the event,
// which the tap never changes or swallows.
using CGEventTapCallBack = const CGEvent* (*)(EventTap* proxy, CGEventType type,
                                              const CGEvent* event, void* userInfo);

// A listen-only tap on the desktop's keyboard and mouse-button events.
class EventTap {
  public:
    virtual ~EventTap() = default;
    // Turns delivery on or off; a tap starts disabled.
    virtual void enable(bool enabled) = 0;
    // Makes the calling thread the tap's thread: its run loop gets the tap's source.
    virtual void addToCurrentRunLoop() = 0;
    // Runs the calling thread's run loop, delivering events, until the process ends (or stop).
    virtual void runCurrentRunLoop() = 0;
    // Makes runCurrentRunLoop return (for orderly shutdown and tests).
    virtual void stop() = 0;
};

// Makes event taps.
class EventTapService {
  public:
    virtual ~EventTapService() = default;
    // A tap at the location and placement with the options, for the event types in the mask,
    // calling the callback with the user info; nullptr when keys cannot be captured.
    virtual std::shared_ptr<EventTap> createEventTap(uint32_t location, uint32_t placement,
                                                     uint32_t options, CGEventMask eventsOfInterest,
                                                     CGEventTapCallBack callback,
                                                     void* userInfo) = 0;
    // Whether a tap could be made now: the permission to capture keys is present.
    virtual bool canCapture() = 0;
};

}  // namespace plinka
