#pragma once

#include <string_view>

namespace plinka {

class Log;

// Logs the failed assertion the way the platform reports one and stops the process.
[[noreturn]] void assertionFailure(Log& log, std::string_view method, std::string_view file,
                                   int line, std::string_view expression);

}  // namespace plinka
