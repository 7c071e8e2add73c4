#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/UniversalAccess.h"

namespace plinka {

class CommandRunner;
class Log;

// The permission to read every key on Linux is reading the keyboards' event devices, which the
// group "input" may. Granting it takes one pkexec authorization: the user joins the group, for
// the next login on, and may read every keyboard and mouse present now through an ACL, so that
// a restart of the application is enough. Nothing that runs as root is a file the user can
// write: the commands are the argument of the system's shell, which finds its tools in system
// folders.
class InputGroupAccess final : public UniversalAccess {
  public:
    struct Options {
        std::string devices = "/dev/input";           // the keyboards' and mice's event nodes
        std::string sysfsClass = "/sys/class/input";  // the kernel's description of them
        // Where the privileged shell finds its tools: folders only root may write.
        std::string privilegedPath = "/usr/sbin:/usr/bin:/sbin:/bin";
    };

    InputGroupAccess(Options options, CommandRunner& commands, Log& log)
        : options_(std::move(options)), commands_(commands), log_(log) {}

    std::optional<UniversalAccessGuide> guide() const override;
    // Runs pkexec, found on $PATH, and logs one line on what came of it; false without pkexec.
    // The AppleScript source is the macOS layer's.
    bool grantAccess(const std::string& appleScriptSource) override;

    // What the privileged shell runs: the user pkexec names in PKEXEC_UID joins the group
    // "input" and may read the devices.
    std::string privilegedScript(const std::vector<std::string>& devices) const;
    // The command line that runs the script through pkexec.
    std::string grantCommand(const std::string& pkexec,
                             const std::vector<std::string>& devices) const;

  private:
    const Options options_;
    CommandRunner& commands_;
    Log& log_;
};

}  // namespace plinka
