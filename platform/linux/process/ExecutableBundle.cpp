#include "platform/linux/process/ExecutableBundle.h"

#include <filesystem>

namespace plinka {

namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";

}  // namespace

std::string executablePathFromLink(std::string_view link) {
    if (link.ends_with(kDeletedSuffix)) {
        link.remove_suffix(kDeletedSuffix.size());
    }
    return std::string(link);
}

std::optional<std::string> bundleHoldingExecutable(std::string_view executablePath) {
    const std::filesystem::path executable(executablePath);
    const std::filesystem::path macOS = executable.parent_path();
    const std::filesystem::path contents = macOS.parent_path();
    const std::filesystem::path bundle = contents.parent_path();
    if (!executable.has_filename() || macOS.filename() != "MacOS" ||
        contents.filename() != "Contents" || bundle.extension() != ".app") {
        return std::nullopt;
    }
    return bundle.string();
}

}  // namespace plinka
