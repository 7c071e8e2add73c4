#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plinka {

// The executable path a /proc/<pid>/exe link names: without the " (deleted)" the kernel appends
// when the file was replaced or removed after the process started (a rebuilt copy still runs).
std::string executablePathFromLink(std::string_view link);

// The bundle directory that holds the executable as <bundle>.app/Contents/MacOS/<name>.
std::optional<std::string> bundleHoldingExecutable(std::string_view executablePath);

}  // namespace plinka
