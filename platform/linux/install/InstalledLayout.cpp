#include "platform/linux/install/InstalledLayout.h"

#include <algorithm>
#include <filesystem>

namespace plinka {

namespace fs = std::filesystem;

std::optional<std::string> installedApplicationsFolder(const std::string& bundlePath) {
    std::error_code error;
    const fs::path bundle = fs::canonical(bundlePath, error);
    if (error) {
        return std::nullopt;
    }
    const fs::path folder = fs::path(bundlePath).parent_path();
    for (fs::path prefix = bundle.parent_path();; prefix = prefix.parent_path()) {
        const fs::path target = fs::canonical(prefix / "bin" / kLauncherName, error);
        if (!error &&
            std::mismatch(bundle.begin(), bundle.end(), target.begin(), target.end()).first ==
                bundle.end()) {
            return folder.string();
        }
        if (prefix == prefix.parent_path()) {
            return std::nullopt;
        }
    }
}

}  // namespace plinka
