#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ProcessManager.h"

namespace plinka::testing {

// A process list the test writes: each process with its bundle identifier (or none) and whether
// it started before this one; none of them is this process.
class ScriptedProcessList final : public ProcessManager {
  public:
    struct Process {
        uint32_t pid;
        std::optional<std::string> bundleIdentifier;
        bool startedEarlier = true;
    };

    OSErr getNextProcess(ProcessSerialNumber* psn) override {
        size_t next = 0;
        if (!(*psn == kNoProcess)) {
            while (next < processes.size() && processes[next].pid != psn->lowLongOfPSN) {
                ++next;
            }
            ++next;
        }
        if (next >= processes.size()) {
            return procNotFound;
        }
        *psn = {0, processes[next].pid};
        return kProcessNoErr;
    }
    OSErr sameProcess(const ProcessSerialNumber& first, const ProcessSerialNumber&,
                      bool* result) override {
        if (find(first) == nullptr) {
            return procNotFound;
        }
        *result = false;
        return kProcessNoErr;
    }
    Object processInformationCopyDictionary(const ProcessSerialNumber& psn) override {
        const Process* process = find(psn);
        if (process == nullptr || !process->bundleIdentifier) {
            return Object();
        }
        return Object::dictionary(
            {{Object::string("CFBundleIdentifier"), Object::string(*process->bundleIdentifier)}});
    }
    OSErr sendReopenEvent(const ProcessSerialNumber& psn) override {
        reopened.push_back(psn.lowLongOfPSN);
        return kProcessNoErr;
    }
    bool startedEarlier(const ProcessSerialNumber& psn) override {
        const Process* process = find(psn);
        return process != nullptr && process->startedEarlier;
    }
    std::string processName() override { return name; }

    std::vector<Process> processes;
    std::vector<uint32_t> reopened;
    std::string name = "Plinka";

  private:
    const Process* find(const ProcessSerialNumber& psn) const {
        for (const Process& process : processes) {
            if (process.pid == psn.lowLongOfPSN) {
                return &process;
            }
        }
        return nullptr;
    }
};

}  // namespace plinka::testing
