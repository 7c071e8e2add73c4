#include "platform/linux/system/DirectoryCrashReports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/linux/XdgBaseDirectory.h"

namespace plinka {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kReportExtension = ".crash";
constexpr std::string_view kOfferedExtension = ".offered.crash";
// A report is a few kilobytes; anything far larger is not one of ours and is cut short.
constexpr std::streamsize kMaximumReportSize = 256 * 1024;

}  // namespace

std::optional<std::string> DirectoryCrashReports::defaultDirectory(
    const std::string& applicationName) {
    const auto state = xdgBaseDirectory("XDG_STATE_HOME", ".local/state");
    if (!state) {
        return std::nullopt;
    }
    return *state + "/" + applicationName + "/crashes";
}

std::vector<std::string> DirectoryCrashReports::unofferedReports() const {
    struct Found {
        fs::file_time_type written;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code error;
    for (const auto& file : fs::directory_iterator(directory_, error)) {
        const std::string name = file.path().filename().string();
        std::error_code fileError;
        if (name.ends_with(kReportExtension) && !name.ends_with(kOfferedExtension) &&
            file.is_regular_file(fileError)) {
            found.push_back({file.last_write_time(fileError), file.path().string()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.written != b.written ? a.written < b.written : a.path < b.path;
    });
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (auto& report : found) {
        paths.push_back(std::move(report.path));
    }
    return paths;
}

std::optional<std::string> DirectoryCrashReports::contentsOfReport(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string contents(static_cast<size_t>(kMaximumReportSize), '\0');
    in.read(contents.data(), kMaximumReportSize);
    contents.resize(static_cast<size_t>(in.gcount()));
    return contents;
}

void DirectoryCrashReports::markOffered(const std::string& path) {
    if (!path.ends_with(kReportExtension) || path.ends_with(kOfferedExtension)) {
        return;
    }
    const std::string offered =
        path.substr(0, path.size() - kReportExtension.size()) + std::string(kOfferedExtension);
    std::error_code error;
    fs::rename(path, offered, error);
}

}  // namespace plinka
