#include "platform/linux/audio/BundleModule.h"

#include <dlfcn.h>

namespace plinka::audio {

void* bundleModuleEntry(const std::string& bundlePath, const char* file, const char* symbol,
                        std::string* error) {
    const std::string path = bundlePath + "/Contents/PlugIns/" + file;
    // Opening it again only counts a reference.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? dlsym(module, symbol) : nullptr;
    if (entry == nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : path;
    }
    return entry;
}

}  // namespace plinka::audio
