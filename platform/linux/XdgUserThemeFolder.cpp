#include "platform/linux/XdgUserThemeFolder.h"

#include "platform/linux/FilesOfType.h"
#include "platform/linux/XdgBaseDirectory.h"

namespace plinka {

std::optional<std::string> XdgUserThemeFolder::defaultFolder() {
    const auto data = xdgBaseDirectory("XDG_DATA_HOME", ".local/share");
    if (!data) {
        return std::nullopt;
    }
    return *data + "/plinka/KeySoundThemes";
}

std::vector<std::string> XdgUserThemeFolder::themeFilePaths() const {
    return folder_ ? filesOfType(*folder_, "plnk") : std::vector<std::string>{};
}

}  // namespace plinka
