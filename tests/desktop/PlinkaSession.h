#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TestAppBundle.h"

namespace plinka::testing {

// Where real Plinka processes run in a test: a copy of the built bundle whose identifier is
// this session's own (so copies of parallel test runs never take each other for a running
// Plinka), and a home with its own configuration, runtime and state directories, on the given
// X display, with the mix written to a file by SDL's disk driver and keys read through X11.
class PlinkaSession {
  public:
    explicit PlinkaSession(const std::string& display);

    std::string directory() const { return scratch_.path().string(); }
    const std::string& bundle() const { return bundle_; }
    const std::string& identifier() const { return identifier_; }
    // Where the first copy's mix goes; later copies each write a file of their own.
    std::string audioFile(int copy = 0) const;

    // Puts a theme file into the bundle's themes.
    void addTheme(const std::string& themeFile) const;
    // Writes the user's defaults (string values) before a copy starts.
    void writeDefaults(const std::map<std::string, std::string>& strings) const;

    // Starts a copy with its output and standard error on one pipe; the variables given replace
    // the session's own.
    std::unique_ptr<ChildProcess> start(
        const std::vector<std::string>& arguments = {},
        const std::vector<std::pair<std::string, std::string>>& environment = {});

  private:
    ScratchDirectory scratch_;
    std::string display_;
    std::string identifier_;
    std::string bundle_;
    std::string home_;
    int started_ = 0;
};

}  // namespace plinka::testing
