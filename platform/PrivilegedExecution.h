#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plinka {

// Results of an authorization, numbered as the original platform numbers them.
using OSStatus = int32_t;
constexpr OSStatus errAuthorizationSuccess = 0;
constexpr OSStatus errAuthorizationDenied = -60005;
constexpr OSStatus errAuthorizationCanceled = -60006;
constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;

// Runs programs as the administrator after asking the person at the desktop for the right.
class PrivilegedExecution {
  public:
    // One program with its arguments; the program is an absolute path.
    using Command = std::vector<std::string>;

    virtual ~PrivilegedExecution() = default;
    // Asks once for the administrator's authorization, then runs the commands in that order as
    // the administrator, stopping after one that did not exit normally. Answers
    // errAuthorizationCanceled when the person dismissed the request, another non-zero status
    // when the authorization was refused or nothing could run, and errAuthorizationSuccess with
    // the wait status (as waitpid reports it) of each command that ran in `waitStatuses`.
    virtual OSStatus executeWithPrivileges(const std::vector<Command>& commands,
                                           std::vector<int>* waitStatuses) = 0;
};

}  // namespace plinka
