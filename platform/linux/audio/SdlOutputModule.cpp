#include "platform/linux/audio/SdlOutputModule.h"

#include <dlfcn.h>

#include "base/Log.h"
#include "platform/linux/audio/SilentOutput.h"

namespace plinka::audio {

OpenOutput sdlOutputFromBundle(const std::string& bundlePath) {
    // A path with a slash: the loader opens this file and searches no library path for it.
    return [path = bundlePath + "/Contents/PlugIns/" + kSdlOutputModuleFile](
               MixSource& source, const AudioOptions& options,
               Log& log) -> std::unique_ptr<AudioOutput> {
        // Never closed: it serves the process until it ends, and unloading SDL and the libraries it
        // pulled in mid-run gains little for its risk. Opening it again only counts a reference.
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = module != nullptr ? dlsym(module, "plinkaOpenSdlOutput") : nullptr;
        if (entry == nullptr) {
            const char* error = dlerror();
            log.log("The SDL audio output cannot be loaded (" +
                    std::string(error != nullptr ? error : path) + "); sounds are dropped");
            return std::make_unique<SilentOutput>(source, options);
        }
        const auto open = reinterpret_cast<decltype(&plinkaOpenSdlOutput)>(entry);
        return std::unique_ptr<AudioOutput>(open(&source, &options, &log));
    };
}

}  // namespace plinka::audio
