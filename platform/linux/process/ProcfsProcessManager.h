#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <vector>

#include "platform/ProcessManager.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {

// Errors of the reopen request, numbered as the original platform numbers them.
constexpr OSErr paramErr = -50;
constexpr OSErr connectionInvalid = -609;
constexpr OSErr errAETimeout = -1712;

// The user's processes as /proc lists them. A process is {1, pid}: the high word keeps every
// pid apart from kNoProcess {0, 0} and kCurrentProcess {0, 2}. A process's bundle is the
// <name>.app/Contents/MacOS/ directory that holds its executable; the reopen request goes to the
// socket its ReopenListener listens on.
class ProcfsProcessManager final : public ProcessManager {
  public:
    static constexpr std::chrono::milliseconds kReopenTimeout{2000};

    // A reopen event sends `request`; a request to show the Preferences falls back to a plain
    // reopen for a running copy that does not know it.
    explicit ProcfsProcessManager(ReopenRequest request = ReopenRequest::Reopen,
                                  std::chrono::milliseconds reopenTimeout = kReopenTimeout);

    static ProcessSerialNumber serialNumberForPid(pid_t pid);
    // The pid the serial number names (this process's for kCurrentProcess); nullopt for none.
    static std::optional<pid_t> pidForSerialNumber(const ProcessSerialNumber& psn);

    // The walk lists the processes of this user (effective uid) in ascending pid order, from a
    // snapshot taken when it starts at kNoProcess; it ends with procNotFound.
    OSErr getNextProcess(ProcessSerialNumber* psn) override;
    OSErr sameProcess(const ProcessSerialNumber& first, const ProcessSerialNumber& second,
                      bool* result) override;
    // "CFBundleExecutable" and "pid", and with a bundle "BundlePath" and (when its Info.plist
    // has one) "CFBundleIdentifier"; Nil when the executable cannot be read (gone, another
    // user's).
    Object processInformationCopyDictionary(const ProcessSerialNumber& psn) override;
    // 0 once the process answered; procNotFound when nothing listens for it, connectionInvalid
    // when the socket is not the process's own (another user's or another pid's) or it closed
    // without an answer, errAETimeout when no answer came in time.
    OSErr sendReopenEvent(const ProcessSerialNumber& psn) override;
    // By start time after boot (clock ticks), ties to the lower pid; false when it is gone.
    bool startedEarlier(const ProcessSerialNumber& psn) override;
    std::string processName() override;

  private:
    void takeSnapshot();
    OSErr sendRequest(pid_t pid, std::string_view request);

    ReopenRequest request_;
    std::chrono::milliseconds reopenTimeout_;
    std::vector<pid_t> snapshot_;
};

}  // namespace plinka
