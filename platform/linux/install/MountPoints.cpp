#include "platform/linux/install/MountPoints.h"

#include <vector>

namespace plinka {

namespace {

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const size_t space = line.find(' ');
        if (space != 0) {
            words.push_back(line.substr(0, space));
        }
        line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    }
    return words;
}

// The kernel writes space, tab, newline and backslash in paths as octal escapes ("\040").
std::string unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
            text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool holds(std::string_view mountPoint, std::string_view path) {
    if (mountPoint == "/") {
        return true;
    }
    return path.substr(0, mountPoint.size()) == mountPoint &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

std::optional<Mount> mountHolding(std::string_view mountInfo, std::string_view path) {
    std::optional<Mount> found;
    while (!mountInfo.empty()) {
        const size_t end = mountInfo.find('\n');
        const std::vector<std::string_view> words = fields(mountInfo.substr(0, end));
        mountInfo.remove_prefix(end == std::string_view::npos ? mountInfo.size() : end + 1);
        // id parent major:minor root mount-point options [optional...] - type source options
        size_t separator = 6;
        while (separator < words.size() && words[separator] != "-") {
            ++separator;
        }
        if (words.size() < 5 || separator + 2 >= words.size()) {
            continue;
        }
        Mount mount{unescaped(words[4]), unescaped(words[separator + 2])};
        // Later lines mount over earlier ones at the same place.
        if (holds(mount.mountPoint, path) &&
            (!found || mount.mountPoint.size() >= found->mountPoint.size())) {
            found = std::move(mount);
        }
    }
    return found;
}

}  // namespace plinka
