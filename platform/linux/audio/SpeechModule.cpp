#include "platform/linux/audio/SpeechModule.h"

#include <dlfcn.h>

#include "base/Log.h"

namespace plinka::audio {

StartSpeechEngine speechEngineFromBundle(const std::string& bundlePath) {
    // A path with a slash: the loader opens this file and searches no library path for it.
    return
        [path = bundlePath + "/Contents/PlugIns/" + kSpeechModuleFile](Log& log) -> SpeechEngine* {
            // Never closed: the engine it holds serves the process until it ends. Opening it again
            // only counts a reference.
            void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            void* entry = module != nullptr ? dlsym(module, "plinkaStartSpeechEngine") : nullptr;
            if (entry == nullptr) {
                const char* error = dlerror();
                log.log("Speech cannot be loaded (" + std::string(error != nullptr ? error : path) +
                        "); nothing is spoken");
                return nullptr;
            }
            return reinterpret_cast<decltype(&plinkaStartSpeechEngine)>(entry)(&log);
        };
}

}  // namespace plinka::audio
