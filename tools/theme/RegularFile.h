#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace plinka::themetool {

// Why the path cannot be read as a file: "no such file" when nothing is there, "not a regular
// file" for a folder, pipe, socket or device (links are followed); nullopt for a regular file.
inline std::optional<std::string> whyNotARegularFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        return "no such file";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "not a regular file";
    }
    return std::nullopt;
}

}  // namespace plinka::themetool
