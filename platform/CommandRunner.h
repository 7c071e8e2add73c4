#pragma once

#include <string>

namespace plinka {

// How a child process ended and everything it wrote.
struct CommandResult {
    // The exit status; when a signal ended it, 128 plus the signal; -1 when it could not start.
    int terminationStatus = -1;
    // Standard output and standard error, interleaved as written (they share one pipe).
    std::string output;
};

// Runs shell commands as child processes.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    // Runs `command` with "/bin/sh -c", standard input from the null device, and blocks until
    // the child has exited.
    virtual CommandResult runShellCommand(const std::string& command) = 0;
    // Starts `command` with "/bin/sh -c", its standard input, output and error on the null
    // device, and returns without waiting: the child may outlive this process. False when it
    // could not start.
    virtual bool startShellCommand(const std::string& command) = 0;
};

}  // namespace plinka
