#include "platform/MacInstallationCommands.h"

#include "base/ShellQuoting.h"

namespace plinka::MacInstallationCommands {

std::string runningCopyTest(const std::string& bundlePath) {
    return "ps ax -o comm | grep " + shellQuoted(bundlePath + "/") + " | grep -v grep >/dev/null";
}

std::string openCommand(const std::string& bundlePath) {
    return "/usr/bin/open " + shellQuoted(bundlePath);
}

std::string quarantineRemovalCommand(const std::string& bundlePath, bool recursive) {
    return std::string("/usr/bin/xattr -d ") + (recursive ? "-r " : "") + "com.apple.quarantine " +
           shellQuoted(bundlePath) + ";";
}

std::string relaunchCommand(int pid, const std::string& quarantineCommand,
                            const std::string& bundlePath) {
    return "(while [ `ps -p " + std::to_string(pid) + " | wc -l` -gt 1 ]; do sleep 0.1; done; " +
           quarantineCommand + " open " + shellQuoted(bundlePath) + ") &";
}

std::string detachCommand(const std::string& mountPoint) {
    return "(sleep 5 && hdiutil detach " + shellQuoted(mountPoint) + ") &";
}

}  // namespace plinka::MacInstallationCommands
