#include "platform/linux/DirectoryBundle.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/FileUrl.h"
#include "platform/linux/FilesOfType.h"
#include "platform/linux/StringsFile.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace fs = std::filesystem;

namespace {

bool isBundle(const fs::path& path) {
    std::error_code error;
    return path.extension() == ".app" && fs::is_directory(path / "Contents", error);
}

}  // namespace

DirectoryBundle::DirectoryBundle(std::string bundlePath, const std::vector<std::string>& languages)
    : path_(std::move(bundlePath)),
      info_(Object::dictionary({})),
      localizedInfo_(Object::dictionary({})) {
    if (auto info = readPropertyListFile(path_ + "/Contents/Info.plist", nullptr);
        info && info->dictionaryValue()) {
        info_ = std::move(*info);
    }
    std::vector<std::string> wanted = languages;
    const std::string* region = info_.objectForKey("CFBundleDevelopmentRegion").stringValue();
    wanted.push_back(region ? *region : "en");
    localizations_ = localizationFolders(wanted);
    for (const std::string& folder : localizations_) {
        if (auto strings = readStringsFile(resourcesDirectory(folder) + "/InfoPlist.strings")) {
            localizedInfo_ = std::move(*strings);
            break;
        }
    }
}

std::optional<std::string> DirectoryBundle::locateMainBundle() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path contents = executable.parent_path().parent_path();
        if (executable.parent_path().filename() == "MacOS" && contents.filename() == "Contents" &&
            isBundle(contents.parent_path())) {
            return contents.parent_path().string();
        }
    }
    if (const char* variable = std::getenv("PLINKA_BUNDLE"); variable && isBundle(variable)) {
        return std::string(variable);
    }
    if (!error) {
        for (fs::path directory = executable.parent_path(); !directory.empty();
             directory = directory.parent_path()) {
            if (isBundle(directory / "Plinka.app")) {
                return (directory / "Plinka.app").string();
            }
            if (directory == directory.root_path()) {
                break;
            }
        }
    }
    return std::nullopt;
}

std::string DirectoryBundle::resourcesDirectory(std::string_view directory) const {
    std::string path = path_ + "/Contents/Resources";
    if (!directory.empty()) {
        path += "/";
        path += directory;
    }
    return path;
}

std::optional<std::string> DirectoryBundle::pathForResource(const std::optional<std::string>& name,
                                                            std::string_view type,
                                                            std::string_view directory) const {
    if (!name) {
        const auto paths = pathsForResourcesOfType(type, directory);
        return paths.empty() ? std::nullopt : std::optional(paths.front());
    }
    std::string file = *name;
    if (!type.empty()) {
        file += ".";
        file += type;
    }
    const fs::path path = fs::path(resourcesDirectory(directory)) / file;
    std::error_code error;
    if (name->find('/') != std::string::npos || !fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    return path.string();
}

std::vector<std::string> DirectoryBundle::pathsForResourcesOfType(
    std::string_view type, std::string_view directory) const {
    return filesOfType(resourcesDirectory(directory), type);
}

std::string DirectoryBundle::localizedStringForKey(std::string_view key, std::string_view value,
                                                   std::string_view table) const {
    const std::string file = std::string(table.empty() ? "Localizable" : table) + ".strings";
    for (const std::string& folder : localizations_) {
        // The first localization that has the table answers, with or without the key.
        if (const auto strings = readStringsFile(resourcesDirectory(folder) + "/" + file)) {
            if (const std::string* translation = strings->objectForKey(key).stringValue()) {
                return *translation;
            }
            break;
        }
    }
    return Bundle::localizedStringForKey(key, value, table);
}

}  // namespace plinka
