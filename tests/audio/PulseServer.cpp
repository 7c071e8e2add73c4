#include "PulseServer.h"

#include <filesystem>
#include <fstream>

#include "XvfbServer.h"

namespace plinka::testing {

PulseServer::PulseServer(const std::string& directory)
    : SoundServer(directory, directory + "/native") {
    namespace fs = std::filesystem;
    fs::create_directories(directory_ + "/home");
    fs::create_directories(directory_ + "/runtime");
    fs::permissions(directory_ + "/runtime", fs::perms::owner_all);
    std::ofstream(directory_ + "/server.pa")
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << pulseSocket_
        << "\n"
        << "load-module module-null-sink sink_name=" << kSink
        << " format=float32le rate=48000 channels=2\n"
        << "set-default-sink " << kSink << "\n"
        << "load-module module-suspend-on-idle timeout=1\n";
    start();
}

PulseServer::~PulseServer() = default;

std::vector<pid_t> PulseServer::pids() const {
    return server_ != nullptr ? std::vector<pid_t>{server_->pid()} : std::vector<pid_t>{};
}

std::vector<std::pair<std::string, std::string>> PulseServer::clientEnvironment() const {
    // A runtime directory without PipeWire's socket: PipeWire does not answer there.
    return {{"PULSE_SERVER", address()},
            {"PIPEWIRE_RUNTIME_DIR", directory_ + "/runtime"},
            {"PIPEWIRE_REMOTE", "pipewire-0"}};
}

bool PulseServer::start() {
    server_.reset();
    const std::string program = programPath("pulseaudio");
    if (program.empty()) {
        return false;
    }
    ChildProcess::Options options;
    options.arguments = {"-n",
                         "--daemonize=no",
                         "--exit-idle-time=-1",
                         "--use-pid-file=no",
                         "--disallow-exit",
                         "--log-target=file:" + directory_ + "/server.log",
                         "-F",
                         directory_ + "/server.pa"};
    options.environment = {
        {"HOME", directory_ + "/home"},
        {"XDG_RUNTIME_DIR", directory_ + "/runtime"},
        {"XDG_CONFIG_HOME", directory_ + "/home"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/plinka-session-bus"},
        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/plinka-system-bus"},
    };
    server_ = std::make_unique<ChildProcess>(program, options);
    if (!waitForSocket(pulseSocket_)) {
        server_.reset();
        return false;
    }
    return true;
}

}  // namespace plinka::testing
