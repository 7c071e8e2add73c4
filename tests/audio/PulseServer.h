#pragma once

#include <memory>
#include <optional>
#include <string>

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
    // "RUNNING", "IDLE" or "SUSPENDED": the sink's state as the server tells it.
    std::optional<std::string> sinkState() const;

  private:
    std::string directory_;
    std::unique_ptr<ChildProcess> server_;
};

}  // namespace plinka::testing
