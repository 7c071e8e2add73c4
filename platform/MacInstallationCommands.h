#pragma once

#include <string>

namespace plinka::MacInstallationCommands {

// The shell commands with which the macOS layer answers ApplicationInstallation, every path
// quoted for /bin/sh whatever characters it holds.

// Exits with 0 when the process list names a program inside the bundle.
std::string runningCopyTest(const std::string& bundlePath);
// "/usr/bin/open <bundle>".
std::string openCommand(const std::string& bundlePath);
// Removes the quarantine attribute of the bundle (and all it holds when `recursive`).
std::string quarantineRemovalCommand(const std::string& bundlePath, bool recursive);
// Polls every 0.1 s until the process is gone, then the quarantine command and "open".
std::string relaunchCommand(int pid, const std::string& quarantineCommand,
                            const std::string& bundlePath);
// Detaches the disk image mounted at the folder five seconds later.
std::string detachCommand(const std::string& mountPoint);

}  // namespace plinka::MacInstallationCommands
