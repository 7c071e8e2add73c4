#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace plinka::testing {

// A private PulseAudio server (pulseaudio -n, as any user, root too) with one float null sink
// and its own socket, state and log in the directory; ended when let go. Its sink suspends
// after one idle second, so that a test sees whether a client keeps it awake.
class PulseServer {
  public:
    static constexpr const char* kSink = "plinka_test";

    // Starts the server; running() says whether it answers.
    explicit PulseServer(const std::string& directory);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool running() const { return server_ != nullptr; }
    pid_t pid() const { return server_ != nullptr ? server_->pid() : -1; }
    // The address for PULSE_SERVER.
    std::string address() const;
    // Ends the server at once, as a crash does.
    void kill();
    // Starts it again on the same socket; whether it answers.
    bool start();
    // "RUNNING", "IDLE" or "SUSPENDED": the sink's state as pactl tells it.
    std::optional<std::string> sinkState() const;

  private:
    std::string directory_;
    std::unique_ptr<ChildProcess> server_;
};

// What the server mixes into its sink, recorded by parec into the file as float stereo at
// 48 kHz while it lives.
class SinkRecording {
  public:
    SinkRecording(const PulseServer& server, const std::string& file);
    // Whether the first samples arrived (it waits for them up to ten seconds).
    bool recording() const;
    std::vector<float> samples() const;
    size_t frames() const;

  private:
    std::string file_;
    std::unique_ptr<ChildProcess> parec_;
};

}  // namespace plinka::testing
