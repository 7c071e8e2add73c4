#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace plinka {

// Whether the path is a regular file its owner may run.
bool isExecutableFile(const std::filesystem::path& path);

// The program of a bare name, searched in $PATH as the session starting it would.
std::optional<std::string> programInPath(const std::string& name);

}  // namespace plinka
