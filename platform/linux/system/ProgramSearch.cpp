#include "platform/linux/system/ProgramSearch.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace plinka {

namespace fs = std::filesystem;

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    const auto status = fs::status(path, error);
    return !error && fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
}

std::optional<std::string> programInPath(const std::string& name) {
    const char* variable = std::getenv("PATH");
    std::string_view path = variable != nullptr ? variable : "/usr/local/bin:/usr/bin:/bin";
    while (!path.empty()) {
        const size_t colon = path.find(':');
        const std::string_view folder = path.substr(0, colon);
        path.remove_prefix(colon == std::string_view::npos ? path.size() : colon + 1);
        if (!folder.empty() && isExecutableFile(fs::path(folder) / name)) {
            return (fs::path(folder) / name).string();
        }
    }
    return std::nullopt;
}

}  // namespace plinka
