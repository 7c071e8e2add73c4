#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Bundle.h"
#include "platform/linux/Localizations.h"

namespace plinka {

// A bundle directory on disk: <path>/Contents/Info.plist and <path>/Contents/Resources. The
// localized information is Resources/<language>.lproj/InfoPlist.strings of the first of the
// languages the bundle has, else of its development region (CFBundleDevelopmentRegion, "en");
// strings tables are found the same way.
class DirectoryBundle final : public Bundle {
  public:
    explicit DirectoryBundle(std::string bundlePath,
                             const std::vector<std::string>& languages = preferredLanguages());

    // The bundle that holds the running executable (Contents/MacOS/<name>), else $PLINKA_BUNDLE,
    // else a Plinka.app beside or above the executable's directory (the build tree's tools).
    static std::optional<std::string> locateMainBundle();

    std::string bundlePath() const override { return path_; }
    const Object& infoDictionary() const override { return info_; }
    const Object& localizedInfoDictionary() const override { return localizedInfo_; }
    std::optional<std::string> pathForResource(const std::optional<std::string>& name,
                                               std::string_view type,
                                               std::string_view directory) const override;
    std::vector<std::string> pathsForResourcesOfType(std::string_view type,
                                                     std::string_view directory) const override;
    std::string localizedStringForKey(std::string_view key, std::string_view value,
                                      std::string_view table) const override;

  private:
    std::string resourcesDirectory(std::string_view directory) const;

    std::string path_;
    Object info_;
    Object localizedInfo_;
    // The localization folders in the order they are searched.
    std::vector<std::string> localizations_;
};

}  // namespace plinka
