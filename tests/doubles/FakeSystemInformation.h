#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/CommandRunner.h"
#include "platform/ProcessInformation.h"
#include "support/PLKAdditions.h"

namespace plinka::testing {

// Process information with the version the test sets, a Debian system's name and the macOS
// layer's identifier command.
class FakeProcessInformation final : public ProcessInformation {
  public:
    std::optional<OperatingSystemVersion> operatingSystemVersion() const override {
        return version;
    }
    std::string operatingSystemVersionString() const override {
        return "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-28-amd64";
    }
    std::string machineIdentifierCommand() const override {
        return std::string(kSerialNumberDigestCommand);
    }

    std::optional<OperatingSystemVersion> version;
};

// Answers each command with the next scripted result (the last one repeats) and keeps the
// commands it ran.
class ScriptedCommandRunner final : public CommandRunner {
  public:
    CommandResult runShellCommand(const std::string& command) override {
        commands.push_back(command);
        if (results.empty()) {
            return {};
        }
        const CommandResult result = results.front();
        if (results.size() > 1) {
            results.erase(results.begin());
        }
        return result;
    }
    bool startShellCommand(const std::string&) override { return true; }

    std::vector<CommandResult> results;
    std::vector<std::string> commands;
};

}  // namespace plinka::testing
