#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/Object.h"

namespace plinka {

using OSErr = int16_t;
constexpr OSErr kProcessNoErr = 0;
constexpr OSErr procNotFound = -600;

// A process of the desktop session, as the process list names it.
struct ProcessSerialNumber {
    uint32_t highLongOfPSN = 0;
    uint32_t lowLongOfPSN = 0;
    bool operator==(const ProcessSerialNumber&) const = default;
};
constexpr ProcessSerialNumber kNoProcess{0, 0};
constexpr ProcessSerialNumber kCurrentProcess{0, 2};

// The user's running applications, and the reopen request one copy sends another.
class ProcessManager {
  public:
    virtual ~ProcessManager() = default;
    // The process after `psn` in the list (kNoProcess starts the walk); non-zero at the end.
    virtual OSErr getNextProcess(ProcessSerialNumber* psn) = 0;
    // Whether the two name the same process; non-zero when that cannot be told.
    virtual OSErr sameProcess(const ProcessSerialNumber& first, const ProcessSerialNumber& second,
                              bool* result) = 0;
    // The process's information ("CFBundleIdentifier" among it); Nil when it can't be read.
    virtual Object processInformationCopyDictionary(const ProcessSerialNumber& psn) = 0;
    // Asks the process to reopen and waits a bounded time for its answer; non-zero on failure.
    virtual OSErr sendReopenEvent(const ProcessSerialNumber& psn) = 0;
    // Whether the process started before this one (the lower process id first at the same
    // instant), so that of two copies started together exactly one yields.
    virtual bool startedEarlier(const ProcessSerialNumber& psn) = 0;
    // The name of this process.
    virtual std::string processName() = 0;
};

}  // namespace plinka
