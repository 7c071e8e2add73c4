#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeBundle.h"
#include "doubles/RecordingLog.h"
#include "platform/CommandRunner.h"
#include "platform/ProcessInformation.h"
#include "platform/SystemAttributes.h"
#include "support/PLKAdditions.h"

namespace plinka::testing {

// Process information that answers what the test sets; by default the macOS layer's command.
class FakeProcessInformation final : public ProcessInformation {
  public:
    std::optional<OperatingSystemVersion> operatingSystemVersion() const override {
        return version;
    }
    std::string operatingSystemVersionString() const override { return versionString; }
    std::string machineIdentifierCommand() const override {
        return std::string(kSerialNumberDigestCommand);
    }

    std::optional<OperatingSystemVersion> version;
    std::string versionString = "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-28-amd64";
};

// An attribute service with the values the test gives; other selectors fail with `missing`.
class FakeSystemAttributes final : public SystemAttributes {
  public:
    int16_t attribute(uint32_t selector, int32_t* response) const override {
        const auto found = values.find(selector);
        if (found == values.end()) {
            return missing;
        }
        *response = found->second;
        return 0;
    }

    std::map<uint32_t, int32_t> values;
    int16_t missing = -5551;
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

// The services the system information reads, as doubles, and the PLKAdditions over them.
struct FakeSystemInformation {
    RecordingLog log;
    FakeBundle bundle;
    FakeProcessInformation process;
    FakeSystemAttributes attributes;
    ScriptedCommandRunner commands;
    PLKAdditions information{{log, bundle, process, attributes, commands}};
};

}  // namespace plinka::testing
