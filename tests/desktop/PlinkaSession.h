#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "ScratchDirectory.h"
#include "base/Object.h"

namespace plinka::testing {

// Where real Plinka processes run in a test: a copy of the built bundle whose identifier is
// this session's own (so copies of parallel test runs never take each other for a running
// Plinka), and a home with its own configuration, runtime and state directories, on the given
// X display, with the mix written to a file by SDL's disk driver and keys read through X11.
class PlinkaSession {
  public:
    // A copy of the built bundle, or of the bundle at `source`.
    explicit PlinkaSession(const std::string& display, const std::string& source = {});

    std::string directory() const { return scratch_.path().string(); }
    // The copies' home folder.
    const std::string& home() const { return home_; }
    const std::string& bundle() const { return bundle_; }
    const std::string& identifier() const { return identifier_; }
    // Where the first copy's mix goes; later copies each write a file of their own.
    std::string audioFile(int copy = 0) const;

    // Puts a theme file (<name>.plnk) into the bundle's themes and makes it the user's theme.
    void useTheme(const std::string& themeFile) const;
    // Writes the user's defaults before a copy starts, over the session's own: automatic update
    // checks off, so that no test reaches out to the network.
    void writeDefaults(const Object::Dictionary& entries) const;
    // The user's defaults file.
    std::string defaultsFile() const;
    // Puts an executable script on the copies' PATH, ahead of the system's programs.
    void addProgram(const std::string& name, const std::string& script) const;
    // Gives the copies started from now on this session bus; by default they have none.
    void useSessionBus(const std::string& address) { sessionBus_ = address; }

    // Moves the bundle into the folder (made when missing); later copies start from there.
    void placeBundleIn(const std::string& folder);
    // Copies are started with the move offer suppressed on their command line unless this was
    // called.
    void offerTheMove() { offersMove_ = true; }

    // Where the copies' runtime files go (reopen sockets, temporary sounds in plinka/); their
    // TMPDIR is home()/tmp.
    std::string runtimeDirectory() const { return home_ + "/runtime"; }

    // Starts a copy with its output and standard error on one pipe; `environment` adds to or
    // replaces the session's variables.
    std::unique_ptr<ChildProcess> start(
        const std::vector<std::string>& arguments = {},
        const std::vector<std::pair<std::string, std::string>>& environment = {});

  private:
    ScratchDirectory scratch_;
    std::string display_;
    std::string identifier_;
    std::string bundle_;
    std::string home_;
    std::string sessionBus_ = "unix:path=/nonexistent/plinka-session-bus";
    int started_ = 0;
    bool offersMove_ = false;
};

}  // namespace plinka::testing
