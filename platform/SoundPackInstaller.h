#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plinka {

// Imports a community sound pack (a folder or a zip) among the user's themes.
class SoundPackInstaller {
  public:
    struct Result {
        // The installed theme's name; nullopt with `failure` when nothing was installed.
        std::optional<std::string> name;
        // One for each key or sound the pack could not give.
        std::vector<std::string> warnings;
        // One sentence without its full stop.
        std::string failure;
    };

    // How the pack is made into a theme.
    struct Options {
        // Keys that sound only when pressed play the first half of their sound on press and
        // the second half on release.
        bool splitRelease = false;
    };

    virtual ~SoundPackInstaller() = default;

    // Blocks the caller's thread until the pack is installed or has failed.
    virtual Result install(const std::string& pack, const Options& options) const = 0;
};

}  // namespace plinka
