#include "platform/linux/audio/ServerOutputModules.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "platform/linux/audio/BundleModule.h"

namespace plinka::audio {
namespace {

ConnectOutput outputFromModule(const std::string& bundlePath, const char* file) {
    auto module = std::make_shared<BundleModule>(bundlePath, file);
    return [module](MixSource& source, const AudioOptions& options, Log& log, bool keepTrying,
                    std::string* error) -> std::unique_ptr<AudioOutput> {
        void* entry = module->entry("plinkaConnectOutput", error);
        if (entry == nullptr) {
            return nullptr;
        }
        const auto connect = reinterpret_cast<decltype(&plinkaConnectOutput)>(entry);
        return std::unique_ptr<AudioOutput>(connect(&source, &options, &log, keepTrying, error));
    };
}

// Where libpipewire looks for the server's socket.
std::string pipeWireSocket() {
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
    return [connect = outputFromModule(bundlePath, kPipeWireOutputModuleFile)](
               MixSource& source, const AudioOptions& options, Log& log, bool keepTrying,
               std::string* error) -> std::unique_ptr<AudioOutput> {
        const std::string socket = pipeWireSocket();
        if (!keepTrying && !socketExists(socket)) {
            *error = "no socket at \"" + socket + "\"";
            return nullptr;
        }
        return connect(source, options, log, keepTrying, error);
    };
}

ConnectOutput pulseAudioOutputFromBundle(const std::string& bundlePath) {
    return outputFromModule(bundlePath, kPulseAudioOutputModuleFile);
}

}  // namespace plinka::audio
