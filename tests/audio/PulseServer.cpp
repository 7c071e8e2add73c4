#include "PulseServer.h"

#include <fstream>

#include "XvfbServer.h"

namespace plinka::testing {

PulseServer::PulseServer(const std::string& directory)
    : SoundServer(directory, directory + "/native") {
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
    options.environment =
        serverEnvironment(directory_ + "/home", "unix:path=/nonexistent/plinka-session-bus");
    server_ = std::make_unique<ChildProcess>(program, options);
    if (!waitForSocket(pulseSocket_)) {
        server_.reset();
        return false;
    }
    return true;
}

}  // namespace plinka::testing
