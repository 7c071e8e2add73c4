#include "support/SymlinksAndAliases.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/FileUrl.h"
#include "platform/AliasFiles.h"

namespace plinka {

namespace {

// The home folder of the named user, or of the current one for an empty name.
std::optional<std::string> homeDirectory(const std::string& user) {
    if (user.empty()) {
        if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
            return std::string(home);
        }
    }
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    const int error =
        user.empty() ? ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)
                     : ::getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found);
    if (error != 0 || found == nullptr || found->pw_dir == nullptr) {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

// "~" or "~user" at the start replaced by that home folder; unchanged when there is none.
std::string expandingTilde(const std::string& path) {
    if (!path.starts_with('~')) {
        return path;
    }
    const size_t slash = path.find('/');
    const std::string user = path.substr(1, slash == std::string::npos ? slash : slash - 1);
    const std::optional<std::string> home = homeDirectory(user);
    if (!home) {
        return path;
    }
    return *home + (slash == std::string::npos ? std::string() : path.substr(slash));
}

}  // namespace

std::string SymlinksAndAliases::stringByStandardizingPath(const std::string& path) {
    const std::string expanded = expandingTilde(path);
    if (expanded.empty()) {
        return expanded;
    }
    std::string standardized = std::filesystem::path(expanded).lexically_normal().string();
    while (standardized.size() > 1 && standardized.ends_with('/')) {
        standardized.pop_back();
    }
    return standardized;
}

std::optional<std::string> SymlinksAndAliases::stringByResolvingSymlinksAndAliases(
    const std::string& path) const {
    const std::string standardized = stringByStandardizingPath(path);
    if (!standardized.starts_with('/')) {
        return std::nullopt;
    }
    std::string resolved = "/";
    for (const auto& component : std::filesystem::path(standardized).relative_path()) {
        std::optional<std::string> next = stringByIterativelyResolvingSymlinkOrAlias(
            FileUrl::appendingPathComponent(resolved, component.string()));
        if (!next) {
            return std::nullopt;
        }
        resolved = std::move(*next);
    }
    return resolved;
}

std::optional<std::string> SymlinksAndAliases::stringByIterativelyResolvingSymlinkOrAlias(
    const std::string& path) const {
    std::string current = path;
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
        return std::nullopt;
    }
    for (int pass = 0; pass <= kMaximumPasses; ++pass) {
        if (S_ISLNK(info.st_mode)) {
            std::optional<std::string> target = stringByConditionallyResolvingSymlink(current);
            if (!target) {
                return std::nullopt;
            }
            current = std::move(*target);
        } else if (S_ISDIR(info.st_mode)) {
            return current;
        } else {
            std::optional<std::string> target = stringByConditionallyResolvingAlias(current);
            if (!target) {
                return current;
            }
            current = std::move(*target);
        }
        if (::lstat(current.c_str(), &info) != 0) {
            return std::nullopt;
        }
    }
    return std::nullopt;  // a cycle, or a chain longer than any the kernel would follow
}

std::string SymlinksAndAliases::stringByResolvingAlias(const std::string& path) const {
    return stringByConditionallyResolvingAlias(path).value_or(path);
}

std::string SymlinksAndAliases::stringByResolvingSymlink(const std::string& path) {
    return stringByConditionallyResolvingSymlink(path).value_or(path);
}

std::optional<std::string> SymlinksAndAliases::stringByConditionallyResolvingSymlink(
    const std::string& path) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(path, error).string();
    if (error) {
        return std::nullopt;
    }
    if (target.starts_with('/')) {
        return target;
    }
    return stringByStandardizingPath(
        FileUrl::appendingPathComponent(FileUrl::deletingLastPathComponent(path), target));
}

std::optional<std::string> SymlinksAndAliases::stringByConditionallyResolvingAlias(
    const std::string& path) const {
    return aliases_.resolveAliasFile(path);
}

}  // namespace plinka
