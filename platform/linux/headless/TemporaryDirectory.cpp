#include "platform/linux/headless/TemporaryDirectory.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace plinka {

namespace {

std::string temporaryBase() {
    const char* base = std::getenv("TMPDIR");
    struct stat info {};
    if (base != nullptr && *base != '\0' && ::stat(base, &info) == 0 && S_ISDIR(info.st_mode)) {
        return base;
    }
    return "/tmp";
}

}  // namespace

TemporaryDirectory::TemporaryDirectory(const std::string& prefix) {
    std::string pattern = temporaryBase() + "/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TemporaryDirectory::~TemporaryDirectory() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

}  // namespace plinka
