#pragma once

#include <string_view>

namespace plinka {

// The system log.
class Log {
  public:
    virtual ~Log() = default;
    // Writes one line (the message without a line break) to the log.
    virtual void log(std::string_view message) = 0;
};

}  // namespace plinka
