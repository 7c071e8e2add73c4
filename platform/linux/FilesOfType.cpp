#include "platform/linux/FilesOfType.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/FileUrl.h"

namespace plinka {

std::vector<std::string> filesOfType(const std::string& directory, std::string_view type) {
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string file = entry->path().filename().string();
        if (entry->is_regular_file(error) && FileUrl::pathExtension(file) == type) {
            paths.push_back(entry->path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace plinka
