#include "platform/linux/SystemLog.h"

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <ctime>

namespace plinka {

SystemLog::SystemLog(std::string processName) : processName_(std::move(processName)) {
    ::openlog(processName_.c_str(), LOG_PID, LOG_USER);
}

SystemLog::~SystemLog() {
    ::closelog();
}

void SystemLog::log(std::string_view message) {
    using std::chrono::system_clock;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char stamp[64];
    const size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line(stamp, length);
    line += "." + std::to_string(1000 + millis).substr(1) + " " + processName_ + "[" +
            std::to_string(::getpid()) + ":" + std::to_string(::syscall(SYS_gettid)) + "] ";
    line += message;
    line += '\n';

    std::lock_guard lock(mutex_);
    // One write per line so lines from several threads or processes never interleave.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    ::syslog(LOG_NOTICE, "%.*s", static_cast<int>(message.size()), message.data());
}

}  // namespace plinka
