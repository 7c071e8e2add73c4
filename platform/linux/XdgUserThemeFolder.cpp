#include "platform/linux/XdgUserThemeFolder.h"

#include <cstdlib>

#include "platform/linux/FilesOfType.h"

namespace plinka {

std::optional<std::string> XdgUserThemeFolder::defaultFolder() {
    // A relative XDG_DATA_HOME does not count, as for every XDG base directory.
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        data = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        data = std::string(home) + "/.local/share";
    } else {
        return std::nullopt;
    }
    return data + "/plinka/KeySoundThemes";
}

std::vector<std::string> XdgUserThemeFolder::themeFilePaths() const {
    return folder_ ? filesOfType(*folder_, "plnk") : std::vector<std::string>{};
}

}  // namespace plinka
