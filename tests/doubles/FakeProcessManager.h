#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessManager.h"

namespace plinka::testing {

// A process list the test writes, in walk order, and the reopen requests sent through it.
class FakeProcessManager final : public ProcessManager {
  public:
    struct Process {
        ProcessSerialNumber psn;
        Object information;  // Nil: unreadable
        bool startedEarlier = true;
        OSErr reopenResult = kProcessNoErr;
    };

    // Adds a process whose information holds the identifier (none: no "CFBundleIdentifier").
    Process& addProcess(ProcessSerialNumber psn, std::optional<std::string> bundleIdentifier,
                        bool startedEarlier = true);

    OSErr getNextProcess(ProcessSerialNumber* psn) override;
    OSErr sameProcess(const ProcessSerialNumber& first, const ProcessSerialNumber& second,
                      bool* result) override;
    Object processInformationCopyDictionary(const ProcessSerialNumber& psn) override;
    OSErr sendReopenEvent(const ProcessSerialNumber& psn) override;
    bool startedEarlier(const ProcessSerialNumber& psn) override;
    std::string processName() override { return name; }

    std::vector<Process> processes;
    // This process, as the walk lists it; kCurrentProcess names it too.
    ProcessSerialNumber current{1, 100};
    std::string name = "Plinka";
    // sameProcess answers an error, as it does for a process that went away.
    bool sameProcessFails = false;
    std::vector<ProcessSerialNumber> reopened;

  private:
    const Process* find(const ProcessSerialNumber& psn) const;
};

}  // namespace plinka::testing
