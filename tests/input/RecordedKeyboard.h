#pragma once

#include <initializer_list>
#include <span>
#include <string>

#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/input/KeyboardDevice.h"

namespace plinka::testing {

// A keyboard whose events are raw input_event records read from a pipe, as the kernel hands
// them out of an evdev node. It keeps the key state like the kernel does: after SYN_DROPPED
// the records up to the next SYN_REPORT are lost to the reader but count in the state.
class RecordedKeyboard : public KeyboardDevice {
  public:
    // Opens the pipe at the path; nullptr when it cannot be opened or is no pipe.
    static std::unique_ptr<KeyboardDevice> open(const std::string& path);

    explicit RecordedKeyboard(FileDescriptor fd) : _fd(std::move(fd)) {}

    int fd() const override { return _fd.get(); }
    ReadStatus next(input_event& event) override;
    KeyEventDecoder::KeySet keysDown() const override { return _down; }
    std::optional<bool> capsLockLight() const override { return _capsLight; }

  private:
    ReadStatus read(input_event& event);
    void follow(const input_event& event);

    FileDescriptor _fd;
    input_event _pending{};
    size_t _pendingBytes = 0;
    KeyEventDecoder::KeySet _down;
    std::optional<bool> _capsLight;
};

// A pipe that plays an evdev node in a watched directory: records written to it reach the
// tap's RecordedKeyboard; closing it is unplugging the keyboard.
class KeyboardPipe {
  public:
    // Makes the pipe and moves it into the directory under the name, writer already open, so
    // the tap never sees it without a writer.
    KeyboardPipe(const std::string& directory, const std::string& name);

    void write(std::initializer_list<input_event> events) { write(std::span(events)); }
    // Writes the records, waiting while the pipe is full.
    void write(std::span<const input_event> events);
    // The writer goes away: the reader sees the end, as of a removed device.
    void unplug() { _writer.reset(); }

    static input_event key(int code, int value) { return record(EV_KEY, code, value); }
    static input_event report() { return record(EV_SYN, SYN_REPORT, 0); }
    static input_event dropped() { return record(EV_SYN, SYN_DROPPED, 0); }
    static input_event light(int code, int value) { return record(EV_LED, code, value); }

  private:
    static input_event record(int type, int code, int value);

    FileDescriptor _writer;
};

}  // namespace plinka::testing
