#include "PulseServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "XvfbServer.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;

bool accepts(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

PulseServer::PulseServer(const std::string& directory) : directory_(directory) {
    namespace fs = std::filesystem;
    fs::create_directories(directory_ + "/home");
    fs::create_directories(directory_ + "/runtime");
    fs::permissions(directory_ + "/runtime", fs::perms::owner_all);
    std::ofstream(directory_ + "/server.pa")
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << directory_
        << "/native\n"
        << "load-module module-null-sink sink_name=" << kSink
        << " format=float32le rate=48000 channels=2\n"
        << "set-default-sink " << kSink << "\n"
        << "load-module module-suspend-on-idle timeout=1\n";
    start();
}

PulseServer::~PulseServer() = default;

std::string PulseServer::address() const {
    return "unix:" + directory_ + "/native";
}

void PulseServer::kill() {
    server_.reset();
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
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!accepts(directory_ + "/native")) {
        if (std::chrono::steady_clock::now() > deadline) {
            server_.reset();
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::optional<std::string> PulseServer::sinkState() const {
    // pactl list short sinks: index, name, module, format, channels, rate, state.
    std::FILE* pactl =
        ::popen(("pactl --server=" + address() + " list short sinks 2>/dev/null").c_str(), "r");
    std::optional<std::string> state;
    char line[512];
    while (pactl != nullptr && std::fgets(line, sizeof line, pactl) != nullptr) {
        std::istringstream fields(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
        if (words.size() >= 7 && words[1] == kSink) {
            state = words[6];
        }
    }
    if (pactl != nullptr) {
        ::pclose(pactl);
    }
    return state;
}

SinkRecording::SinkRecording(const PulseServer& server, const std::string& file) : file_(file) {
    const std::string parec = programPath("parec");
    if (!parec.empty()) {
        parec_ = std::make_unique<ChildProcess>(
            "/bin/sh", ChildProcess::Options{
                           .arguments = {"-c", "exec '" + parec + "' --server=" + server.address() +
                                                   " --device=" + PulseServer::kSink +
                                                   ".monitor --raw --format=float32le "
                                                   "--rate=48000 --channels=2 "
                                                   "--latency-msec=5 > '" +
                                                   file + "'"}});
    }
}

bool SinkRecording::recording() const {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (parec_ != nullptr && frames() == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return parec_ != nullptr;
}

std::vector<float> SinkRecording::samples() const {
    return readFloats(file_);
}

size_t SinkRecording::frames() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file_, error);
    return error ? 0 : static_cast<size_t>(bytes) / (2 * sizeof(float));
}

}  // namespace plinka::testing
