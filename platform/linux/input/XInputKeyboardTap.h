#pragma once

#include <memory>
#include <string>

#include "platform/linux/input/KeyEventDecoder.h"
#include "platform/linux/input/ModifierFlags.h"
#include "platform/linux/input/PollingEventTap.h"

struct _XDisplay;

namespace plinka {

// The tap on an X11 display's raw key and button events (XInput2) at the root window: every key
// of every keyboard and the left, right and middle buttons of every pointer, whichever window
// has the focus, without grabbing anything; scrolling is left out. A press of a key that is
// already down is an auto-repeat. When the display connection breaks, the tap disables itself
// with the user-input notice and its run loop ends.
class XInputKeyboardTap : public PollingEventTap {
  public:
    // A tap on the display (empty: $DISPLAY); nullptr when it cannot be opened or lacks
    // XInput 2.
    static std::shared_ptr<XInputKeyboardTap> create(const std::string& displayName,
                                                     CGEventMask eventsOfInterest,
                                                     CGEventTapCallBack callback, void* userInfo);
    // Whether the display can be opened and has XInput 2.
    static bool canReadKeyboard(const std::string& displayName);

    struct CloseDisplay {
        void operator()(_XDisplay* display) const;
    };
    using Connection = std::unique_ptr<_XDisplay, CloseDisplay>;

    // Use create(); the display has XInput 2 with this major opcode.
    XInputKeyboardTap(Connection display, int opcode, CGEventMask eventsOfInterest,
                      CGEventTapCallBack callback, void* userInfo);

  protected:
    void watchedDescriptors(std::vector<pollfd>& fds) override;
    bool readReady(std::span<const pollfd> fds) override;

  private:
    static void connectionBroke(_XDisplay* display, void* tap);
    bool listen();
    void takeStateOfKeyboard();

    Connection display_;
    const int opcode_;
    bool broken_ = false;
    ModifierFlags modifiers_;
    KeyEventDecoder decoder_{modifiers_};
};

}  // namespace plinka
