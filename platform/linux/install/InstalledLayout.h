#pragma once

#include <optional>
#include <string>

namespace plinka {

// The launcher an installation puts on the PATH: <prefix>/bin/plinka.
inline constexpr const char* kLauncherName = "plinka";

// The folder an installer put the bundle in (<prefix>/lib/plinka of the layout `cmake --install`
// and a package make) when <prefix>/bin/plinka leads into the bundle; nullopt for a bundle
// that no launcher of a prefix above it reaches.
std::optional<std::string> installedApplicationsFolder(const std::string& bundlePath);

}  // namespace plinka
