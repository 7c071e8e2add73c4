#include "tools/soundpack/BucklespringPack.h"

#include <cctype>
#include <charconv>

#include "platform/linux/input/KeyMap.h"
#include "tools/soundpack/PackFiles.h"

namespace plinka::soundpack {

namespace {

struct KeyFile {
    int code;
    int state;
};

// "1e-1.wav": evdev code 0x1e, pressed.
std::optional<KeyFile> parseFileName(const std::string& name) {
    const size_t dash = name.find('-');
    if (dash < 2 || dash > 3 || name.size() != dash + 6 ||
        (name[dash + 1] != '0' && name[dash + 1] != '1')) {
        return std::nullopt;
    }
    std::string extension = name.substr(dash + 2);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    int code = 0;
    const auto [end, failed] = std::from_chars(name.data(), name.data() + dash, code, 16);
    if (extension != ".wav" || failed != std::errc() || end != name.data() + dash) {
        return std::nullopt;
    }
    return KeyFile{code, name[dash + 1] - '0'};
}

// The file's folder inside the pack ("" for its top) and its own name.
std::pair<std::string, std::string> split(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::pair{std::string(), file}
                                      : std::pair{file.substr(0, slash), file.substr(slash + 1)};
}

}  // namespace

std::optional<PackPlan> planBucklespring(const std::vector<std::string>& files) {
    std::optional<std::string> folder;
    for (const auto& file : files) {
        const auto [directory, name] = split(file);
        if (parseFileName(name) && (!folder || packPathDepth(directory) < packPathDepth(*folder))) {
            folder = directory;
        }
    }
    if (!folder) {
        return std::nullopt;
    }
    PackPlan plan;
    plan.format = "bucklespring";
    std::vector<std::string> unknown;
    for (const auto& file : files) {
        const auto [directory, name] = split(file);
        const auto keyFile = parseFileName(name);
        if (directory != *folder || !keyFile) {
            continue;
        }
        if (const auto keyCode = keyCodeForEvdevCode(keyFile->code)) {
            plan.keys[static_cast<size_t>(keyFile->state)][*keyCode] = {{file}};
        } else {
            unknown.push_back(name);
        }
    }
    if (!unknown.empty()) {
        plan.warnings.push_back("no key for " + shortList(unknown) + "; left out");
    }
    return plan;
}

}  // namespace plinka::soundpack
