#include "platform/linux/process/ProcfsProcessManager.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string_view>

#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/plist/PropertyList.h"
#include "platform/linux/process/ExecutableBundle.h"
#include "platform/linux/process/ProcessStat.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kProcessHighWord = 1;

std::string procPath(pid_t pid, std::string_view entry) {
    return "/proc/" + std::to_string(pid) + "/" + std::string(entry);
}

std::optional<pid_t> pidFromName(std::string_view name) {
    pid_t pid = 0;
    const auto [last, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || last != name.data() + name.size() || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

using Clock = std::chrono::steady_clock;

// Waits for the socket to become ready for `events` until the deadline; false on time out.
bool waitFor(int socket, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{socket, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

ProcfsProcessManager::ProcfsProcessManager(ReopenRequest request,
                                           std::chrono::milliseconds reopenTimeout)
    : request_(request), reopenTimeout_(reopenTimeout) {}

ProcessSerialNumber ProcfsProcessManager::serialNumberForPid(pid_t pid) {
    return {kProcessHighWord, static_cast<uint32_t>(pid)};
}

std::optional<pid_t> ProcfsProcessManager::pidForSerialNumber(const ProcessSerialNumber& psn) {
    if (psn == kCurrentProcess) {
        return getpid();
    }
    if (psn.highLongOfPSN != kProcessHighWord || psn.lowLongOfPSN == 0 ||
        psn.lowLongOfPSN > static_cast<uint32_t>(std::numeric_limits<pid_t>::max())) {
        return std::nullopt;
    }
    return static_cast<pid_t>(psn.lowLongOfPSN);
}

void ProcfsProcessManager::takeSnapshot() {
    snapshot_.clear();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const auto pid = pidFromName(entry.path().filename().native());
        struct stat status {};
        // /proc/<pid> belongs to the process's effective user.
        if (pid && ::stat(entry.path().c_str(), &status) == 0 && status.st_uid == geteuid()) {
            snapshot_.push_back(*pid);
        }
    }
    std::sort(snapshot_.begin(), snapshot_.end());
}

OSErr ProcfsProcessManager::getNextProcess(ProcessSerialNumber* psn) {
    if (!psn) {
        return paramErr;
    }
    pid_t after = 0;
    if (*psn == kNoProcess) {
        takeSnapshot();
    } else if (const auto pid = pidForSerialNumber(*psn); pid && *psn != kCurrentProcess) {
        after = *pid;
        if (snapshot_.empty()) {
            takeSnapshot();
        }
    } else {
        return paramErr;
    }
    const auto next = std::upper_bound(snapshot_.begin(), snapshot_.end(), after);
    if (next == snapshot_.end()) {
        return procNotFound;
    }
    *psn = serialNumberForPid(*next);
    return kProcessNoErr;
}

OSErr ProcfsProcessManager::sameProcess(const ProcessSerialNumber& first,
                                        const ProcessSerialNumber& second, bool* result) {
    const auto firstPid = pidForSerialNumber(first);
    const auto secondPid = pidForSerialNumber(second);
    if (!result || !firstPid || !secondPid) {
        return paramErr;
    }
    *result = *firstPid == *secondPid;
    return kProcessNoErr;
}

Object ProcfsProcessManager::processInformationCopyDictionary(const ProcessSerialNumber& psn) {
    const auto pid = pidForSerialNumber(psn);
    if (!pid) {
        return {};
    }
    std::error_code error;
    const fs::path link = fs::read_symlink(procPath(*pid, "exe"), error);
    if (error) {
        return {};
    }
    const std::string executable = executablePathFromLink(link.native());
    Object::Dictionary information{{Object::string("CFBundleExecutable"),
                                    Object::string(fs::path(executable).filename().string())}};
    if (const auto bundlePath = bundleHoldingExecutable(executable)) {
        // Only the identifier is wanted: the Info.plist alone, not a whole bundle with its
        // localizations.
        const auto info = readPropertyListFile(*bundlePath + "/Contents/Info.plist", nullptr);
        if (const std::string* identifier =
                info ? info->objectForKey("CFBundleIdentifier").stringValue() : nullptr) {
            information.emplace_back(Object::string("CFBundleIdentifier"),
                                     Object::string(*identifier));
        }
        information.emplace_back(Object::string("BundlePath"), Object::string(*bundlePath));
    }
    information.emplace_back(Object::string("pid"), Object::integer(*pid));
    return Object::dictionary(std::move(information));
}

OSErr ProcfsProcessManager::sendReopenEvent(const ProcessSerialNumber& psn) {
    const auto pid = pidForSerialNumber(psn);
    if (!pid) {
        return paramErr;
    }
    const OSErr status = sendRequest(*pid, requestText(request_));
    if (status == connectionInvalid && request_ == ReopenRequest::ShowPreferences) {
        return sendRequest(*pid, kReopenRequest);
    }
    return status;
}

OSErr ProcfsProcessManager::sendRequest(pid_t pid, std::string_view request) {
    const std::string directory = reopenSocketDirectory();
    if (!isPrivateDirectory(directory)) {
        return procNotFound;
    }
    const auto address = socketAddress(reopenSocketPath(directory, pid));
    if (!address) {
        return procNotFound;
    }
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        return connectionInvalid;
    }
    const auto deadline = Clock::now() + reopenTimeout_;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) !=
        0) {
        // A listener whose backlog is full refuses at once rather than making us wait.
        return errno == EAGAIN ? errAETimeout : procNotFound;
    }
    // A file left by a dead copy may be bound again by an unrelated process of another pid.
    const auto peer = peerCredentials(socket.get());
    if (!peer || peer->uid != geteuid() || peer->pid != pid) {
        return connectionInvalid;
    }
    if (::send(socket.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return connectionInvalid;
    }
    std::string reply;
    while (reply.size() < kReopenReply.size()) {
        if (!waitFor(socket.get(), POLLIN, deadline)) {
            return errAETimeout;
        }
        char buffer[32];
        const ssize_t count = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (count <= 0) {
            return connectionInvalid;
        }
        reply.append(buffer, static_cast<size_t>(count));
    }
    return reply == kReopenReply ? kProcessNoErr : connectionInvalid;
}

bool ProcfsProcessManager::startedEarlier(const ProcessSerialNumber& psn) {
    const auto pid = pidForSerialNumber(psn);
    const pid_t self = getpid();
    if (!pid || *pid == self) {
        return false;
    }
    const auto theirs = readStartTime(*pid);
    const auto ours = readStartTime(self);
    if (!theirs || !ours) {
        return false;
    }
    return *theirs < *ours || (*theirs == *ours && *pid < self);
}

std::string ProcfsProcessManager::processName() {
    if (program_invocation_short_name && *program_invocation_short_name) {
        return program_invocation_short_name;
    }
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace plinka
