#include "platform/linux/install/PkexecPrivilegedExecution.h"

#include <charconv>
#include <string_view>

#include "base/ShellQuoting.h"
#include "platform/CommandRunner.h"

namespace plinka {

namespace {

constexpr std::string_view kStatusLine = "plinka-status ";

// The shell writes a command that signal n ended as 128 + n; above the highest signal a status
// can only be the command's own exit status.
constexpr int kHighestSignal = 64;

// The shell's status of a command ($?) as waitpid reports it.
int waitStatusOf(int shellStatus) {
    return shellStatus > 128 && shellStatus <= 128 + kHighestSignal ? shellStatus - 128
                                                                    : shellStatus << 8;
}

}  // namespace

std::string PkexecPrivilegedExecution::scriptFor(const std::vector<Command>& commands) {
    std::string script;
    for (const Command& command : commands) {
        for (const std::string& word : command) {
            script += shellQuoted(word) + " ";
        }
        script += ">/dev/null 2>&1; s=$?; echo \"" + std::string(kStatusLine) +
                  "$s\"; if [ $s -gt 128 ] && [ $s -le " + std::to_string(128 + kHighestSignal) +
                  " ]; then exit 0; fi; ";
    }
    return script + "exit 0";
}

OSStatus PkexecPrivilegedExecution::executeWithPrivileges(const std::vector<Command>& commands,
                                                          std::vector<int>* waitStatuses) {
    const CommandResult result = commands_.runShellCommand(
        "pkexec /bin/sh -c " + shellQuoted(scriptFor(commands)) + " plinka-install");
    std::vector<int> statuses;
    std::string_view output = result.output;
    while (!output.empty()) {
        const size_t end = output.find('\n');
        const std::string_view line = output.substr(0, end);
        output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
        int status = 0;
        if (line.starts_with(kStatusLine) &&
            std::from_chars(line.data() + kStatusLine.size(), line.data() + line.size(), status)
                    .ec == std::errc()) {
            statuses.push_back(waitStatusOf(status));
        }
    }
    if (statuses.empty()) {
        if (result.terminationStatus == kDismissed) {
            return errAuthorizationCanceled;
        }
        return result.terminationStatus == 0 ? errAuthorizationToolExecuteFailure
                                             : errAuthorizationDenied;
    }
    if (waitStatuses != nullptr) {
        *waitStatuses = std::move(statuses);
    }
    return errAuthorizationSuccess;
}

}  // namespace plinka
