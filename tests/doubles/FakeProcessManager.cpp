#include "FakeProcessManager.h"

#include <algorithm>

namespace plinka::testing {

namespace {

constexpr OSErr kParamErr = -50;

}  // namespace

FakeProcessManager::Process& FakeProcessManager::addProcess(
    ProcessSerialNumber psn, std::optional<std::string> bundleIdentifier, bool startedEarlier) {
    Object::Dictionary information{
        {Object::string("pid"), Object::integer(static_cast<int64_t>(psn.lowLongOfPSN))}};
    if (bundleIdentifier) {
        information.emplace_back(Object::string("CFBundleIdentifier"),
                                 Object::string(std::move(*bundleIdentifier)));
    }
    processes.push_back({psn, Object::dictionary(std::move(information)), startedEarlier});
    return processes.back();
}

const FakeProcessManager::Process* FakeProcessManager::find(const ProcessSerialNumber& psn) const {
    const ProcessSerialNumber wanted = psn == kCurrentProcess ? current : psn;
    const auto found = std::find_if(processes.begin(), processes.end(),
                                    [&](const Process& process) { return process.psn == wanted; });
    return found == processes.end() ? nullptr : &*found;
}

OSErr FakeProcessManager::getNextProcess(ProcessSerialNumber* psn) {
    if (!psn) {
        return kParamErr;
    }
    auto next = processes.begin();
    if (*psn != kNoProcess) {
        next = std::find_if(processes.begin(), processes.end(),
                            [&](const Process& process) { return process.psn == *psn; });
        if (next == processes.end()) {
            return procNotFound;
        }
        ++next;
    }
    if (next == processes.end()) {
        return procNotFound;
    }
    *psn = next->psn;
    return kProcessNoErr;
}

OSErr FakeProcessManager::sameProcess(const ProcessSerialNumber& first,
                                      const ProcessSerialNumber& second, bool* result) {
    if (sameProcessFails || !result) {
        return kParamErr;
    }
    auto resolve = [this](const ProcessSerialNumber& psn) {
        return psn == kCurrentProcess ? current : psn;
    };
    *result = resolve(first) == resolve(second);
    return kProcessNoErr;
}

Object FakeProcessManager::processInformationCopyDictionary(const ProcessSerialNumber& psn) {
    const Process* process = find(psn);
    return process ? process->information : Object();
}

OSErr FakeProcessManager::sendReopenEvent(const ProcessSerialNumber& psn) {
    reopened.push_back(psn);
    const Process* process = find(psn);
    return process ? process->reopenResult : procNotFound;
}

bool FakeProcessManager::startedEarlier(const ProcessSerialNumber& psn) {
    const Process* process = find(psn);
    return process && process->psn != current && process->startedEarlier;
}

}  // namespace plinka::testing
