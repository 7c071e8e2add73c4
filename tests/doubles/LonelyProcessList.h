#pragma once

#include <string>

#include "platform/ProcessManager.h"

namespace plinka::testing {

// A process list without another copy of the application. Copies that find each other are the
// desktop tests' (tests/desktop/TrayTest, SingleCopyTest), on the real process list.
class LonelyProcessList final : public ProcessManager {
  public:
    OSErr getNextProcess(ProcessSerialNumber*) override { return procNotFound; }
    OSErr sameProcess(const ProcessSerialNumber&, const ProcessSerialNumber&, bool*) override {
        return procNotFound;
    }
    Object processInformationCopyDictionary(const ProcessSerialNumber&) override { return {}; }
    OSErr sendReopenEvent(const ProcessSerialNumber&) override { return procNotFound; }
    bool startedEarlier(const ProcessSerialNumber&) override { return false; }
    std::string processName() override { return "Plinka"; }
};

}  // namespace plinka::testing
