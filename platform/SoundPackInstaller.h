#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plinka {

// Imports a community sound pack (a folder or a zip) among the user's themes, in the background.
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
    using Completion = std::function<void(Result result)>;

    virtual ~SoundPackInstaller() = default;

    // Starts the import and returns at once; `done` is called once, later, on the main thread,
    // unless the import is cancelled. One at a time: false, and nothing started, while one runs.
    virtual bool install(const std::string& pack, const Options& options, Completion done) = 0;
    // Ends the running import at once; its completion is never called.
    virtual void cancel() = 0;
};

}  // namespace plinka
