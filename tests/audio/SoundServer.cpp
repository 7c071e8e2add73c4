#include "SoundServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "ChildProcess.h"
#include "Eventually.h"
#include "XvfbServer.h"

namespace plinka::testing {
namespace {

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

// What pactl prints when asked that of the server; empty when it fails.
std::string pactl(const std::string& address, const std::vector<std::string>& arguments) {
    const std::string program = programPath("pactl");
    if (program.empty()) {
        return {};
    }
    ChildProcess::Options options{.arguments = {"--server=" + address}};
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    ChildProcess child(program, options);
    return child.waitForExit() == 0 ? child.output() : std::string();
}

}  // namespace

SoundServer::SoundServer(std::string directory, std::string pulseSocket)
    : directory_(std::move(directory)), pulseSocket_(std::move(pulseSocket)) {
    namespace fs = std::filesystem;
    fs::create_directories(directory_ + "/home");
    fs::create_directories(runtimeDirectory());
    fs::permissions(runtimeDirectory(), fs::perms::owner_all);
}

bool SoundServer::waitForSocket(const std::string& path) {
    return eventually([&] { return accepts(path); });
}

std::optional<std::string> SoundServer::sinkState() const {
    // Lines of "index, name, driver, format, state", tab-separated.
    std::istringstream sinks(pactl(address(), {"list", "sinks", "short"}));
    for (std::string line; std::getline(sinks, line);) {
        const size_t name = line.find('\t') + 1;
        if (line.compare(name, line.find('\t', name) - name, kSink) == 0) {
            return line.substr(line.rfind('\t') + 1);
        }
    }
    return std::nullopt;
}

std::string SoundServer::defaultSink() const {
    const std::string sink = pactl(address(), {"get-default-sink"});
    return sink.substr(0, sink.find('\n'));
}

}  // namespace plinka::testing
