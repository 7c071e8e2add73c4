#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/input/KeyEventDecoder.h"
#include "platform/linux/input/KeyboardDevice.h"
#include "platform/linux/input/ModifierFlags.h"
#include "platform/linux/input/PollingEventTap.h"

namespace plinka {

// Where the evdev tap finds keyboards and mice, how it opens them, and where the kernel
// describes them.
struct EvdevDevices {
    std::string directory = "/dev/input";
    KeyboardDeviceOpener open;  // LibevdevKeyboard::open when empty
    std::string sysfsClass = "/sys/class/input";
};

// What the evdev tap may read of the directory now.
enum class DeviceAccess {
    Readable,    // a keyboard or mouse can be read
    NoKeyboard,  // no keyboard is there yet; those that come are opened
    Denied,      // keyboards are there and none can be read, or the directory can't be read
};

// The tap on every keyboard's and mouse's evdev device, also those plugged in or removed while
// it runs. It reads devices without grabbing them. When the kernel dropped events because the
// reader fell behind, the tap disables itself with the timeout notice; enabling it again catches
// the held keys up from the device.
class EvdevKeyboardTap : public PollingEventTap {
  public:
    // A tap on the keyboards and mice of the directory, now and later; nullptr when the
    // directory cannot be watched.
    static std::shared_ptr<EvdevKeyboardTap> create(const EvdevDevices& devices,
                                                    CGEventMask eventsOfInterest,
                                                    CGEventTapCallBack callback, void* userInfo);
    // Whether the directory's keyboards can be read. A node that cannot be opened counts as a
    // keyboard unless the kernel describes it as something else.
    static DeviceAccess deviceAccess(const EvdevDevices& devices);

    // Use create(); the watch is an inotify descriptor already watching the directory.
    EvdevKeyboardTap(const EvdevDevices& devices, FileDescriptor watch,
                     CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);

  protected:
    void watchedDescriptors(std::vector<pollfd>& fds) override;
    bool readReady(std::span<const pollfd> fds) override;
    void resynchronise() override;

  private:
    struct Keyboard {
        Keyboard(std::string nodeName, std::unique_ptr<KeyboardDevice> opened, ModifierFlags& flags)
            : name(std::move(nodeName)), device(std::move(opened)), decoder(flags) {}
        std::string name;
        std::unique_ptr<KeyboardDevice> device;
        KeyEventDecoder decoder;
        bool gone = false;
    };

    void openAll();
    void openKeyboard(const std::string& name);
    void takeCapsLockFromLights();
    void readKeyboard(Keyboard& keyboard);
    void readDirectoryChanges();
    void letGo(Keyboard& keyboard);
    void removeGone();

    const KeyboardDeviceOpener open_;
    const std::string directory_;
    FileDescriptor watch_;
    ModifierFlags modifiers_;
    std::vector<std::unique_ptr<Keyboard>> keyboards_;
};

}  // namespace plinka
