#pragma once

#include "platform/PrivilegedExecution.h"

namespace plinka {

class CommandRunner;

// The administrator's rights through polkit: one pkexec runs one root shell, given the commands
// as its script on the command line (no file that the user could change), which reports how
// each command ended. pkexec's 126 (the person dismissed the dialog) is the cancel.
class PkexecPrivilegedExecution final : public PrivilegedExecution {
  public:
    // What pkexec answers when the person dismissed its dialog.
    static constexpr int kDismissed = 126;

    explicit PkexecPrivilegedExecution(CommandRunner& commands) : commands_(commands) {}

    OSStatus executeWithPrivileges(const std::vector<Command>& commands,
                                   std::vector<int>* waitStatuses) override;

    // The root shell's script: each command in turn, its output dropped and its end reported
    // on a line of its own; it stops after a command that a signal ended.
    static std::string scriptFor(const std::vector<Command>& commands);

  private:
    CommandRunner& commands_;
};

}  // namespace plinka
