#pragma once

#include "platform/CommandRunner.h"

namespace plinka {

// Child processes through posix_spawn: /bin/sh -c, standard output and error into one pipe, or
// detached in a session of their own.
class PosixCommandRunner final : public CommandRunner {
  public:
    CommandResult runShellCommand(const std::string& command) override;
    bool startShellCommand(const std::string& command) override;
};

}  // namespace plinka
