#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/UserThemeFolder.h"

namespace plinka {

// The user's theme folder on a freedesktop system: $XDG_DATA_HOME/plinka/KeySoundThemes, with
// ~/.local/share standing in for an unset (or relative) XDG_DATA_HOME.
class XdgUserThemeFolder final : public UserThemeFolder {
  public:
    explicit XdgUserThemeFolder(std::optional<std::string> folder = defaultFolder())
        : folder_(std::move(folder)) {}

    // The folder the environment names; nullopt when neither XDG_DATA_HOME nor HOME does.
    static std::optional<std::string> defaultFolder();

    std::optional<std::string> folderPath() const override { return folder_; }
    std::vector<std::string> themeFilePaths() const override;

  private:
    std::optional<std::string> folder_;
};

}  // namespace plinka
