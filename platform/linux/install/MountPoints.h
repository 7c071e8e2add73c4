#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plinka {

// A mounted file system: where it is mounted and what was mounted there.
struct Mount {
    std::string mountPoint;
    std::string source;
};

// The mount that holds the path (the deepest mount point at or above it), from the text of a
// /proc/<pid>/mountinfo file; nullopt when none does.
std::optional<Mount> mountHolding(std::string_view mountInfo, std::string_view path);

}  // namespace plinka
