#include "platform/linux/audio/PipeWireOutputModule.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/linux/audio/BundleModule.h"

namespace plinka::audio {
namespace {

// Where libpipewire looks for the server's socket.
std::string socketPath() {
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    const std::string name = remote != nullptr && *remote != '\0' ? remote : "pipewire-0";
    if (name.front() == '/') {
        return name;
    }
    for (const char* variable : {"PIPEWIRE_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        if (const char* directory = std::getenv(variable); directory != nullptr && *directory) {
            return std::string(directory) + "/" + name;
        }
    }
    return {};
}

bool socketExists(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

}  // namespace

ConnectOutput pipeWireOutputFromBundle(const std::string& bundlePath) {
    return [bundlePath](MixSource& source, const AudioOptions& options, Log& log, bool keepTrying,
                        std::string* error) -> std::unique_ptr<AudioOutput> {
        const std::string socket = socketPath();
        if (!keepTrying && !socketExists(socket)) {
            *error = "no socket at \"" + socket + "\"";
            return nullptr;
        }
        void* entry = bundleModuleEntry(bundlePath, kPipeWireOutputModuleFile,
                                        "plinkaConnectPipeWireOutput", error);
        if (entry == nullptr) {
            return nullptr;
        }
        const auto connect = reinterpret_cast<decltype(&plinkaConnectPipeWireOutput)>(entry);
        return std::unique_ptr<AudioOutput>(connect(&source, &options, &log, keepTrying, error));
    };
}

}  // namespace plinka::audio
