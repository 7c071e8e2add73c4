#pragma once

#include <string>

namespace plinka::audio {

// A module of the bundle's Contents/PlugIns, held open from construction (at start) and loaded
// from that descriptor later, so that a process loads the module it started with even after a
// package upgrade replaced the file or a removal deleted it.
class BundleModule {
  public:
    BundleModule(const std::string& bundlePath, const char* file);
    // Closes the file unless the module was loaded from it.
    ~BundleModule();
    BundleModule(const BundleModule&) = delete;
    BundleModule& operator=(const BundleModule&) = delete;

    // The entry point `symbol`, the module loaded at the first call and kept for the process's
    // life (unloading what it pulled in mid-run gains little for its risk). Nullptr, with the
    // loader's reason in `error`, when it cannot be had.
    void* entry(const char* symbol, std::string* error);

  private:
    std::string path_;
    int file_;
    bool loaded_ = false;
};

}  // namespace plinka::audio
