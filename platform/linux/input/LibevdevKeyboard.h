#pragma once

#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/input/KeyboardDevice.h"

struct libevdev;

namespace plinka {

// A keyboard or mouse read through libevdev, which keeps its key state and catches it up after
// the kernel dropped events.
class LibevdevKeyboard : public KeyboardDevice {
  public:
    // The keyboard or mouse at the device node; nullptr when it cannot be opened or has neither
    // a key that makes a theme key code nor a mouse button that sounds.
    static std::unique_ptr<KeyboardDevice> open(const std::string& path);

    struct Free {
        void operator()(libevdev* device) const;
    };
    using Device = std::unique_ptr<libevdev, Free>;

    LibevdevKeyboard(FileDescriptor fd, Device device)
        : fd_(std::move(fd)), device_(std::move(device)) {}

    int fd() const override { return fd_.get(); }
    ReadStatus next(input_event& event) override;
    KeyEventDecoder::KeySet keysDown() const override;
    std::optional<bool> capsLockLight() const override;

  private:
    FileDescriptor fd_;
    Device device_;
};

}  // namespace plinka
