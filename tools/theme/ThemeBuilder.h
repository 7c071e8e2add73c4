#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/theme/MappingFile.h"

namespace plinka {
struct Platform;
}

namespace plinka::themetool {

// Builds a theme file's bytes from a mapping whose files are in `directory`. Every file becomes
// one transient Sound (its bytes embedded, so the theme stands alone), shared by every slot that
// names it (a mouse button that names a key's file borrows that very sound); a slot naming
// several files holds them as variants, and identical variant lists share one array. The name is
// the mapping's, else `defaultName`. nullopt with one line of reason in `error` when a file is
// missing or not audio, or the archive can't be made.
std::optional<std::vector<uint8_t>> buildTheme(const Mapping& mapping, const std::string& directory,
                                               const std::string& defaultName, Platform& platform,
                                               std::string& error);

// Reads DIR/theme.map and builds from it, as buildTheme.
std::optional<std::vector<uint8_t>> buildThemeFromDirectory(const std::string& directory,
                                                            const std::string& defaultName,
                                                            Platform& platform, std::string& error);

}  // namespace plinka::themetool
