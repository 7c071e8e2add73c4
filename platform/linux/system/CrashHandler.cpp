#include "platform/linux/system/CrashHandler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace plinka::CrashHandler {

namespace {

constexpr std::array kFatalSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP, SIGSYS};
constexpr size_t kTextCapacity = 4096;
constexpr int kMaximumFrames = 128;

// What the handler needs, copied here at installation: it may not allocate or lock.
char reportDirectory[kTextCapacity];
char reportProcessName[256];
char reportVersion[256];
alignas(16) char alternateStack[64 * 1024];

const char* signalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGILL:
            return "SIGILL";
        case SIGFPE:
            return "SIGFPE";
        case SIGABRT:
            return "SIGABRT";
        case SIGTRAP:
            return "SIGTRAP";
        case SIGSYS:
            return "SIGSYS";
        default:
            return "?";
    }
}

// Text built in a fixed buffer with async-signal-safe steps only.
class SignalSafeText {
  public:
    SignalSafeText& add(const char* text) {
        while (*text != '\0' && length_ + 1 < sizeof buffer_) {
            buffer_[length_++] = *text++;
        }
        buffer_[length_] = '\0';
        return *this;
    }
    SignalSafeText& add(uint64_t number, unsigned base = 10, int minimumDigits = 1) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[number % base];
            number /= base;
        } while (number != 0 && count < static_cast<int>(sizeof digits));
        while (count < minimumDigits && count < static_cast<int>(sizeof digits)) {
            digits[count++] = '0';
        }
        char reversed[2] = {0, 0};
        while (count > 0) {
            reversed[0] = digits[--count];
            add(reversed);
        }
        return *this;
    }
    const char* c_str() const { return buffer_; }
    size_t length() const { return length_; }

  private:
    char buffer_[kTextCapacity + 512] = {};
    size_t length_ = 0;
};

void writeAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        length -= static_cast<size_t>(written);
    }
}

// The UTC calendar date of a time, by arithmetic alone (gmtime may lock).
void addUtcDate(SignalSafeText& text, int64_t seconds, const char* beforeTime,
                const char* timeSeparator) {
    const int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const int64_t secondsOfDay = seconds - days * 86400;
    // Days to civil date, after Howard Hinnant's algorithm.
    const int64_t shifted = days + 719468;
    const int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const int64_t dayOfEra = shifted - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    text.add(static_cast<uint64_t>(year), 10, 4).add("-");
    text.add(static_cast<uint64_t>(month), 10, 2).add("-");
    text.add(static_cast<uint64_t>(day), 10, 2).add(beforeTime);
    text.add(static_cast<uint64_t>(secondsOfDay / 3600), 10, 2).add(timeSeparator);
    text.add(static_cast<uint64_t>(secondsOfDay / 60 % 60), 10, 2).add(timeSeparator);
    text.add(static_cast<uint64_t>(secondsOfDay % 60), 10, 2);
}

void writeReport(int signal, const siginfo_t* info) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto pid = static_cast<uint64_t>(::getpid());

    SignalSafeText path;
    path.add(reportDirectory).add("/").add(reportProcessName).add("_");
    addUtcDate(path, now.tv_sec, "-", "");
    path.add("_").add(pid).add(".crash");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }

    SignalSafeText header;
    header.add("Process: ").add(reportProcessName).add(" [").add(pid).add("]\n");
    header.add("Version: ").add(reportVersion).add("\n");
    header.add("Date: ");
    addUtcDate(header, now.tv_sec, " ", ":");
    header.add(" UTC\n");
    header.add("Signal: ").add(static_cast<uint64_t>(signal)).add(" (").add(signalName(signal));
    header.add(")\n");
    if (signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE) {
        header.add("Fault address: 0x")
            .add(reinterpret_cast<uintptr_t>(info->si_addr), 16)
            .add("\n");
    }
    header.add("Backtrace:\n");
    writeAll(fd, header.c_str(), header.length());

    void* frames[kMaximumFrames];
    const int count = ::backtrace(frames, kMaximumFrames);
    ::backtrace_symbols_fd(frames, count, fd);
    ::fsync(fd);
    ::close(fd);
}

void handleFatalSignal(int signal, siginfo_t* info, void*) {
    const int savedErrno = errno;
    writeReport(signal, info);
    errno = savedErrno;
    // The handler was reset on entry: the signal now ends the process as it would have.
    ::raise(signal);
}

bool copyText(char* target, size_t capacity, const std::string& text) {
    if (text.size() >= capacity) {
        return false;
    }
    std::memcpy(target, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

bool install(const std::string& directory, const std::string& processName,
             const std::string& version) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory, error) ||
        !copyText(reportDirectory, sizeof reportDirectory, directory) ||
        !copyText(reportProcessName, sizeof reportProcessName, processName) ||
        !copyText(reportVersion, sizeof reportVersion, version)) {
        return false;
    }
    // The first backtrace loads the unwinder, which allocates; do it now, not in the handler.
    void* frame[1];
    ::backtrace(frame, 1);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    if (::sigaltstack(&stack, nullptr) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_sigaction = handleFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : kFatalSignals) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace plinka::CrashHandler
