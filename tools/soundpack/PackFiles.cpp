#include "tools/soundpack/PackFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "tools/soundpack/FolderPack.h"
#include "tools/soundpack/PackLimits.h"
#include "tools/soundpack/ZipPack.h"

namespace plinka::soundpack {

namespace {

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<std::string> normalizedPackPath(const std::string& name) {
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (slashed.starts_with('/')) {
        return std::nullopt;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= slashed.size()) {
        size_t end = slashed.find('/', start);
        if (end == std::string::npos) {
            end = slashed.size();
        }
        const std::string part = slashed.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) {
                return std::nullopt;
            }
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (const auto& part : parts) {
        joined += (joined.empty() ? "" : "/") + part;
    }
    return joined;
}

int packPathDepth(const std::string& folder) {
    return folder.empty() ? 0 : 1 + static_cast<int>(std::count(folder.begin(), folder.end(), '/'));
}

std::unique_ptr<PackFiles> PackFiles::open(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failed;
    fs::path pack(path);
    if (pack.filename() == "config.json" && fs::is_regular_file(pack, failed)) {
        pack = pack.parent_path().empty() ? fs::path(".") : pack.parent_path();
    }
    if (fs::is_directory(pack, failed)) {
        return openFolderPack(pack.string(), error);
    }
    if (fs::is_regular_file(pack, failed)) {
        return openZipPack(pack.string(), error);
    }
    error = path + ": no such folder or zip file";
    return nullptr;
}

PackFiles::PackFiles(std::string packName, std::vector<std::string> files,
                     std::vector<std::string> notes)
    : packName_(std::move(packName)), files_(std::move(files)), notes_(std::move(notes)) {
    std::sort(files_.begin(), files_.end());
}

std::optional<std::vector<uint8_t>> PackFiles::read(const std::string& file, std::size_t limit,
                                                    std::string& error) {
    if (!std::binary_search(files_.begin(), files_.end(), file)) {
        error = file + ": no such file in the pack";
        return std::nullopt;
    }
    // Once the budget is spent nothing more is read (the file that spends it still is).
    if (bytesRead_ >= PackLimits::kMaxReadBytes) {
        error = file + ": left unread, the pack's files come to more than " +
                std::to_string(PackLimits::kMaxReadBytes >> 20) + " MB";
        return std::nullopt;
    }
    auto bytes = readFile(file, limit, error);
    if (bytes) {
        bytesRead_ += bytes->size();
    }
    return bytes;
}

std::optional<std::string> PackFiles::find(const std::string& folder,
                                           const std::string& name) const {
    const auto path = normalizedPackPath(folder.empty() ? name : folder + "/" + name);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    if (std::binary_search(files_.begin(), files_.end(), *path)) {
        return path;
    }
    // Packs made on systems that ignore case often name their files in another case.
    const auto match = std::find_if(files_.begin(), files_.end(), [&](const std::string& file) {
        return equalsIgnoringCase(file, *path);
    });
    return match != files_.end() ? std::optional(*match) : std::nullopt;
}

}  // namespace plinka::soundpack
