#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace plinka {

// The start time (clock ticks after boot, field 22) of a /proc/<pid>/stat line; nullopt when
// the line is malformed. The command name may hold spaces and parentheses, so fields are counted
// from its last ')'.
std::optional<uint64_t> startTimeFromStat(std::string_view statLine);

// The start time of the process; nullopt when it is gone or its stat cannot be read.
std::optional<uint64_t> readStartTime(pid_t pid);

}  // namespace plinka
