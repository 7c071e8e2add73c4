#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plinka::testing {

// A private sound server with one float null sink (kSink, 48 kHz stereo) that suspends after
// one idle second, so that a test sees whether a client keeps it awake. Everything it keeps
// (sockets, state, logs) lives in its directory; it ends when let go. Either kind serves the
// PulseAudio protocol at address(), which sinkState uses.
class SoundServer {
  public:
    static constexpr const char* kSink = "plinka_test";

    virtual ~SoundServer() = default;
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // "PulseAudio" or "PipeWire".
    virtual std::string name() const = 0;
    // Whether it answers (after the constructor, start or kill).
    virtual bool running() const = 0;
    // Every process of the server, for its CPU time.
    virtual std::vector<pid_t> pids() const = 0;
    // Ends it at once, as a crash does.
    virtual void kill() = 0;
    // Starts it again on the same sockets; whether it answers.
    virtual bool start() = 0;
    // What a client's environment needs so that it reaches this server and no other (a PulseAudio
    // server's runtime folder has no PipeWire socket: PipeWire does not answer there).
    std::vector<std::pair<std::string, std::string>> clientEnvironment() const {
        return {{"PULSE_SERVER", address()},
                {"PIPEWIRE_RUNTIME_DIR", runtimeDirectory()},
                {"PIPEWIRE_REMOTE", "pipewire-0"}};
    }

    // The address for PULSE_SERVER.
    std::string address() const { return "unix:" + pulseSocket_; }
    // "RUNNING", "IDLE" or "SUSPENDED": the sink's state as the server tells it.
    std::optional<std::string> sinkState() const;

  protected:
    // Makes the server's home and its private runtime folder.
    SoundServer(std::string directory, std::string pulseSocket);
    std::string runtimeDirectory() const { return directory_ + "/runtime"; }
    // The environment of the server's own processes: its folders, the session bus given (the
    // system bus never), and the configuration under `configHome`.
    std::vector<std::pair<std::string, std::string>> serverEnvironment(
        const std::string& configHome, const std::string& sessionBus) const {
        return {{"HOME", directory_ + "/home"},
                {"XDG_RUNTIME_DIR", runtimeDirectory()},
                {"PIPEWIRE_RUNTIME_DIR", runtimeDirectory()},
                {"XDG_CONFIG_HOME", configHome},
                {"DBUS_SESSION_BUS_ADDRESS", sessionBus},
                {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/plinka-system-bus"}};
    }
    // Waits until the socket takes connections; false after the time.
    static bool waitForSocket(const std::string& path);
    // The sink the server plays to by default; empty while it has chosen none.
    std::string defaultSink() const;

    const std::string directory_;
    const std::string pulseSocket_;
};

}  // namespace plinka::testing
