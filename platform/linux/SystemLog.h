#pragma once

#include <mutex>
#include <string>

#include "base/Log.h"

namespace plinka {

// One line per message to standard error, time-stamped, and to the system log (syslog).
class SystemLog final : public Log {
  public:
    explicit SystemLog(std::string processName);
    ~SystemLog() override;
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

    void log(std::string_view message) override;

  private:
    std::string processName_;
    std::mutex mutex_;
};

}  // namespace plinka
