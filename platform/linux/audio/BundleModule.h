#pragma once

#include <string>

namespace plinka::audio {

// The entry point `symbol` of the module `file` in the bundle's Contents/PlugIns, opened by its
// full path (so the loader searches no library path for it) and kept for the process's life;
// unloading what it pulled in mid-run gains little for its risk. Nullptr, with the loader's
// reason in `error`, when it cannot be had.
void* bundleModuleEntry(const std::string& bundlePath, const char* file, const char* symbol,
                        std::string* error);

}  // namespace plinka::audio
