#include "platform/linux/input/EvdevKeyboardTap.h"

#include <dirent.h>
#include <sys/inotify.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/linux/input/KeyboardNodes.h"
#include "platform/linux/input/LibevdevKeyboard.h"

namespace plinka {

namespace {

// Enough events per wake-up to keep up, few enough that stop() is seen soon.
constexpr int kEventsPerRead = 1024;

bool isEventNode(std::string_view name) {
    return name.starts_with("event");
}

KeyboardDeviceOpener openerOf(const EvdevDevices& devices) {
    return devices.open ? devices.open : KeyboardDeviceOpener(&LibevdevKeyboard::open);
}

// Visits the event nodes until the visitor answers false; false when the directory can't be read.
template <typename Visit>
bool forEachEventNode(const std::string& directory, Visit visit) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), &::closedir);
    if (!dir) {
        return false;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (isEventNode(entry->d_name) && !visit(std::string(entry->d_name))) {
            break;
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<EvdevKeyboardTap> EvdevKeyboardTap::create(const EvdevDevices& devices,
                                                           CGEventMask eventsOfInterest,
                                                           CGEventTapCallBack callback,
                                                           void* userInfo) {
    FileDescriptor watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!watch.valid() || ::inotify_add_watch(watch.get(), devices.directory.c_str(),
                                              IN_CREATE | IN_ATTRIB | IN_MOVED_TO | IN_DELETE |
                                                  IN_MOVED_FROM | IN_ONLYDIR) < 0) {
        return nullptr;
    }
    auto tap = std::make_shared<EvdevKeyboardTap>(devices, std::move(watch), eventsOfInterest,
                                                  callback, userInfo);
    if (!tap->hasWakeUp()) {
        return nullptr;
    }
    tap->openAll();
    return tap;
}

DeviceAccess EvdevKeyboardTap::deviceAccess(const EvdevDevices& devices) {
    const auto open = openerOf(devices);
    // An absent keyboard (unplugged, or asleep on Bluetooth) is no missing permission.
    DeviceAccess access = DeviceAccess::NoKeyboard;
    const bool listed = forEachEventNode(devices.directory, [&](const std::string& name) {
        if (open(devices.directory + "/" + name)) {
            access = DeviceAccess::Readable;
            return false;
        }
        const auto keys = describedKeys(devices.sysfsClass, name);
        if (!keys || bitmapHasKeyboardKeys(*keys)) {
            access = DeviceAccess::Denied;
        }
        return true;
    });
    return listed ? access : DeviceAccess::Denied;
}

EvdevKeyboardTap::EvdevKeyboardTap(const EvdevDevices& devices, FileDescriptor watch,
                                   CGEventMask eventsOfInterest, CGEventTapCallBack callback,
                                   void* userInfo)
    : PollingEventTap(eventsOfInterest, callback, userInfo),
      open_(openerOf(devices)),
      directory_(devices.directory),
      watch_(std::move(watch)) {}

void EvdevKeyboardTap::openAll() {
    forEachEventNode(directory_, [this](const std::string& name) {
        openKeyboard(name);
        return true;
    });
    takeCapsLockFromLights();
}

void EvdevKeyboardTap::takeCapsLockFromLights() {
    // Caps Lock's state is the desktop's; any keyboard's light shows it.
    for (const auto& keyboard : keyboards_) {
        if (auto light = keyboard->device->capsLockLight()) {
            modifiers_.setCapsLock(*light);
            return;
        }
    }
}

void EvdevKeyboardTap::openKeyboard(const std::string& name) {
    const bool isOpen = std::any_of(keyboards_.begin(), keyboards_.end(),
                                    [&](const auto& keyboard) { return keyboard->name == name; });
    if (isOpen) {
        return;
    }
    if (auto device = open_(directory_ + "/" + name)) {
        auto keyboard = std::make_unique<Keyboard>(name, std::move(device), modifiers_);
        // Keys already down when the keyboard is first seen are held, without events.
        keyboard->decoder.resynchronise(keyboard->device->keysDown());
        keyboards_.push_back(std::move(keyboard));
    }
}

void EvdevKeyboardTap::watchedDescriptors(std::vector<pollfd>& fds) {
    fds.push_back({watch_.get(), POLLIN, 0});
    for (const auto& keyboard : keyboards_) {
        fds.push_back({keyboard->device->fd(), POLLIN, 0});
    }
}

bool EvdevKeyboardTap::readReady(std::span<const pollfd> fds) {
    // The descriptors follow watchedDescriptors(): the directory, then each keyboard.
    for (size_t i = 0; i < keyboards_.size() && i + 1 < fds.size(); ++i) {
        if (fds[i + 1].revents != 0) {
            readKeyboard(*keyboards_[i]);
        }
    }
    removeGone();
    if (fds[0].revents != 0) {
        readDirectoryChanges();
    }
    return true;
}

void EvdevKeyboardTap::readKeyboard(Keyboard& keyboard) {
    input_event event{};
    for (int count = 0; count < kEventsPerRead && !keyboard.gone; ++count) {
        switch (keyboard.device->next(event)) {
            case KeyboardDevice::ReadStatus::Event:
                if (event.type == EV_KEY) {
                    if (auto tapEvent = keyboard.decoder.decode(event.code, event.value)) {
                        deliver(*tapEvent);
                    }
                }
                break;
            case KeyboardDevice::ReadStatus::Dropped:
                disableWithNotice(kCGEventTapDisabledByTimeout);
                resynchroniseIfAsked();
                break;
            case KeyboardDevice::ReadStatus::Empty:
                return;
            case KeyboardDevice::ReadStatus::Gone:
                letGo(keyboard);
                return;
        }
    }
}

void EvdevKeyboardTap::readDirectoryChanges() {
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t length = ::read(watch_.get(), buffer.data(), buffer.size());
        if (length <= 0) {
            return;
        }
        for (ssize_t at = 0; at < length;) {
            inotify_event change;
            std::memcpy(&change, buffer.data() + at, sizeof change);
            const std::string name(change.len > 0 ? buffer.data() + at + sizeof change : "");
            at += static_cast<ssize_t>(sizeof change + change.len);
            if (!isEventNode(name)) {
                continue;
            }
            if ((change.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                for (auto& keyboard : keyboards_) {
                    if (keyboard->name == name) {
                        letGo(*keyboard);
                    }
                }
            } else {
                openKeyboard(name);
            }
        }
        removeGone();
    }
}

void EvdevKeyboardTap::letGo(Keyboard& keyboard) {
    if (keyboard.gone) {
        return;
    }
    keyboard.gone = true;
    for (const auto& event : keyboard.decoder.releaseAll()) {
        deliver(event);
    }
}

void EvdevKeyboardTap::removeGone() {
    std::erase_if(keyboards_, [](const auto& keyboard) { return keyboard->gone; });
}

void EvdevKeyboardTap::resynchronise() {
    for (auto& keyboard : keyboards_) {
        keyboard->decoder.resynchronise(keyboard->device->keysDown());
    }
    takeCapsLockFromLights();
}

}  // namespace plinka
