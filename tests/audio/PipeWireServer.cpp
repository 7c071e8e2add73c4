#include "PipeWireServer.h"

#include <filesystem>
#include <fstream>

#include "Eventually.h"
#include "XvfbServer.h"

namespace plinka::testing {

PipeWireServer::PipeWireServer(const std::string& directory)
    : SoundServer(directory, directory + "/runtime/pulse/native") {
    namespace fs = std::filesystem;
    fs::create_directories(directory_ + "/config/pipewire/pipewire.conf.d");
    std::ofstream(directory_ + "/config/pipewire/pipewire.conf.d/sink.conf")
        << "context.objects = [ { factory = adapter args = {\n"
        << "    factory.name = support.null-audio-sink node.name = " << kSink << "\n"
        << "    media.class = Audio/Sink audio.position = [ FL FR ] audio.format = F32\n"
        << "    audio.rate = 48000 object.linger = true monitor.channel-volumes = true\n"
        << "    session.suspend-timeout-seconds = 1 } } ]\n";
    // Only the null sink: no sound cards, cameras or Bluetooth of the host.
    fs::create_directories(directory_ + "/config/wireplumber/main.lua.d");
    fs::create_directories(directory_ + "/config/wireplumber/bluetooth.lua.d");
    std::ofstream(directory_ + "/config/wireplumber/main.lua.d/51-private.lua")
        << "alsa_monitor.enabled = false\n"
        << "v4l2_monitor.enabled = false\n"
        << "libcamera_monitor.enabled = false\n";
    std::ofstream(directory_ + "/config/wireplumber/bluetooth.lua.d/51-private.lua")
        << "bluez_monitor.enabled = false\n";
    start();
}

PipeWireServer::~PipeWireServer() {
    kill();
}

std::vector<pid_t> PipeWireServer::pids() const {
    std::vector<pid_t> pids;
    for (const auto* process : {&pipewire_, &sessionManager_, &pulse_}) {
        if (*process != nullptr) {
            pids.push_back((*process)->pid());
        }
    }
    return pids;
}

void PipeWireServer::kill() {
    pulse_.reset();
    sessionManager_.reset();
    pipewire_.reset();
}

std::unique_ptr<ChildProcess> PipeWireServer::run(const std::string& program) const {
    const std::string path = programPath(program);
    if (path.empty() || bus_.address().empty()) {
        return nullptr;
    }
    ChildProcess::Options options;
    // Its log into a file: nobody reads the pipe.
    options.arguments = {"-c", "exec \"$0\" 2>>\"$1\"", path, directory_ + "/" + program + ".log"};
    options.environment = serverEnvironment(directory_ + "/config", bus_.address());
    return std::make_unique<ChildProcess>("/bin/sh", options);
}

bool PipeWireServer::start() {
    kill();
    pipewire_ = run("pipewire");
    if (pipewire_ == nullptr || !waitForSocket(runtimeDirectory() + "/pipewire-0")) {
        kill();
        return false;
    }
    sessionManager_ = run("wireplumber");
    pulse_ = run("pipewire-pulse");
    if (sessionManager_ == nullptr || pulse_ == nullptr || !waitForSocket(pulseSocket_)) {
        kill();
        return false;
    }
    // Answers once the session manager has made the sink the default: streams find it then.
    if (!eventually([this] { return defaultSink() == kSink; })) {
        kill();
        return false;
    }
    return true;
}

}  // namespace plinka::testing
