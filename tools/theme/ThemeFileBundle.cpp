#include "tools/theme/ThemeFileBundle.h"

#include "base/FileUrl.h"

namespace plinka::themetool {

const std::string& ThemeFileBundle::addThemeFile(std::string themeFile) {
    themeFile_ = std::move(themeFile);
    themeName_ = FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(themeFile_));
    return themeName_;
}

bool ThemeFileBundle::isThemeLookup(std::string_view type, std::string_view directory) const {
    return !themeFile_.empty() && type == "plnk" && directory == "KeySoundThemes";
}

std::optional<std::string> ThemeFileBundle::pathForResource(const std::optional<std::string>& name,
                                                            std::string_view type,
                                                            std::string_view directory) const {
    if (isThemeLookup(type, directory) && name == themeName_) {
        return themeFile_;
    }
    return bundle_.pathForResource(name, type, directory);
}

std::vector<std::string> ThemeFileBundle::pathsForResourcesOfType(
    std::string_view type, std::string_view directory) const {
    auto paths = bundle_.pathsForResourcesOfType(type, directory);
    if (isThemeLookup(type, directory)) {
        paths.push_back(themeFile_);
    }
    return paths;
}

}  // namespace plinka::themetool
