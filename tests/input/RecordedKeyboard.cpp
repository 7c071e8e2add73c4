#include "RecordedKeyboard.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace plinka::testing {

std::unique_ptr<KeyboardDevice> RecordedKeyboard::open(const std::string& path) {
    // Anything but a pipe plays a node that may not be read (root may read any file).
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0 || !S_ISFIFO(node.st_mode)) {
        return nullptr;
    }
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return nullptr;
    }
    return std::make_unique<RecordedKeyboard>(std::move(fd));
}

KeyboardDevice::ReadStatus RecordedKeyboard::read(input_event& event) {
    // Large writes reach a pipe in pieces that need not end on a record's end.
    auto* bytes = reinterpret_cast<char*>(&_pending);
    while (_pendingBytes < sizeof _pending) {
        const ssize_t length =
            ::read(_fd.get(), bytes + _pendingBytes, sizeof _pending - _pendingBytes);
        if (length <= 0) {
            return length < 0 && errno == EAGAIN ? ReadStatus::Empty : ReadStatus::Gone;
        }
        _pendingBytes += static_cast<size_t>(length);
    }
    _pendingBytes = 0;
    event = _pending;
    follow(event);
    return ReadStatus::Event;
}

KeyboardDevice::ReadStatus RecordedKeyboard::next(input_event& event) {
    const ReadStatus status = read(event);
    if (status != ReadStatus::Event || event.type != EV_SYN || event.code != SYN_DROPPED) {
        return status;
    }
    // The tests write a dropped stretch in one go, so its end is already in the pipe.
    for (ReadStatus lost = read(event); lost == ReadStatus::Event; lost = read(event)) {
        if (event.type == EV_SYN && event.code == SYN_REPORT) {
            break;
        }
    }
    return ReadStatus::Dropped;
}

void RecordedKeyboard::follow(const input_event& event) {
    if (event.type == EV_KEY && event.code < KEY_CNT) {
        _down.set(event.code, event.value != 0);
    } else if (event.type == EV_LED && event.code == LED_CAPSL) {
        _capsLight = event.value != 0;
    }
}

KeyboardPipe::KeyboardPipe(const std::string& directory, const std::string& name) {
    // Made under a hidden name, which the tap ignores, then renamed into place.
    const std::string staging = directory + "/." + name + ".pipe";
    if (::mkfifo(staging.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot make the pipe " + staging);
    }
    // Read and write, so opening never waits for a reader.
    _writer.reset(::open(staging.c_str(), O_RDWR | O_CLOEXEC));
    const std::string node = directory + "/" + name;
    if (!_writer.valid() || std::rename(staging.c_str(), node.c_str()) != 0) {
        throw std::runtime_error("cannot place the pipe " + node);
    }
}

void KeyboardPipe::write(std::span<const input_event> events) {
    const auto* bytes = reinterpret_cast<const char*>(events.data());
    size_t left = events.size_bytes();
    while (left > 0) {
        const ssize_t written = ::write(_writer.get(), bytes, left);
        if (written <= 0) {
            throw std::runtime_error("cannot write the records");
        }
        bytes += written;
        left -= static_cast<size_t>(written);
    }
}

input_event KeyboardPipe::record(int type, int code, int value) {
    input_event event{};
    event.type = static_cast<__u16>(type);
    event.code = static_cast<__u16>(code);
    event.value = value;
    return event;
}

}  // namespace plinka::testing
