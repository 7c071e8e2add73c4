#include "platform/linux/audio/BundleModule.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace plinka::audio {

BundleModule::BundleModule(const std::string& bundlePath, const char* file)
    : path_(bundlePath + "/Contents/PlugIns/" + file),
      file_(::open(path_.c_str(), O_RDONLY | O_CLOEXEC)) {}

BundleModule::~BundleModule() {
    // The loader knows a loaded module by its descriptor's name: that number must never name
    // another file.
    if (file_ >= 0 && !loaded_) {
        ::close(file_);
    }
}

void* BundleModule::entry(const char* symbol, std::string* error) {
    // By full path, so the loader searches no library path; a file missing at start is tried
    // again by its name, which the loader's reason then names. Opening it again only counts a
    // reference.
    const std::string path = file_ >= 0 ? "/proc/self/fd/" + std::to_string(file_) : path_;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    loaded_ = loaded_ || module != nullptr;
    void* entry = module != nullptr ? dlsym(module, symbol) : nullptr;
    if (entry == nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : path_;
    }
    return entry;
}

}  // namespace plinka::audio
