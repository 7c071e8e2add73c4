#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace plinka {
class SoundTheme;
struct Platform;
}  // namespace plinka

namespace plinka::themetool {

// The theme file a command means: a path to an existing file as given, else the bundle's theme
// of that name, else the user's. nullopt with one line of reason in `error` when there is neither.
std::optional<std::string> resolveThemeFile(const std::string& fileOrName, Platform& platform,
                                            std::string& error);

// Decodes a theme file with the theme classes. nullptr with one line of reason in `error` when
// the file can't be read, is not a keyed archive, or its root is not a theme. `unloadedSounds`
// counts the sounds that could not be made (each logged on its own line); they stay silent.
std::shared_ptr<SoundTheme> loadThemeFile(const std::string& path, Platform& platform,
                                          std::string& error, size_t* unloadedSounds = nullptr);

}  // namespace plinka::themetool
