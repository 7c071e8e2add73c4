#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace plinka {

// A user's XDG base directory: the variable (for example "XDG_CONFIG_HOME") when it holds an
// absolute path, else $HOME/`underHome` (".config"); a relative value does not count. Nullopt
// without an absolute $HOME.
inline std::optional<std::string> xdgBaseDirectory(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return std::string(home) + "/" + underHome;
    }
    return std::nullopt;
}

}  // namespace plinka
