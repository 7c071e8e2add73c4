#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plinka {

// The user's own theme files, kept beside the bundle's (imported sound packs go there).
class UserThemeFolder {
  public:
    virtual ~UserThemeFolder() = default;
    // Where the user's theme files go; nullopt when the user has no data folder. The folder
    // itself need not exist yet.
    virtual std::optional<std::string> folderPath() const = 0;
    // The paths of the theme files ("plnk") in the folder, by file name; empty without one.
    virtual std::vector<std::string> themeFilePaths() const = 0;
};

}  // namespace plinka
