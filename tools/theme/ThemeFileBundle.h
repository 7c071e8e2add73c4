#pragma once

#include <string>

#include "platform/Bundle.h"

namespace plinka::themetool {

// A bundle that can also hold one theme file from elsewhere, as if it were one of its own
// KeySoundThemes under the file's name, so the sound controller can switch to any file.
class ThemeFileBundle final : public Bundle {
  public:
    explicit ThemeFileBundle(Bundle& bundle) : bundle_(bundle) {}

    // Adds the file; answers the name the sound controller knows it by (the file's name
    // without the extension).
    const std::string& addThemeFile(std::string themeFile);

    std::string bundlePath() const override { return bundle_.bundlePath(); }
    const Object& infoDictionary() const override { return bundle_.infoDictionary(); }
    const Object& localizedInfoDictionary() const override {
        return bundle_.localizedInfoDictionary();
    }
    std::optional<std::string> pathForResource(const std::optional<std::string>& name,
                                               std::string_view type,
                                               std::string_view directory) const override;
    std::vector<std::string> pathsForResourcesOfType(std::string_view type,
                                                     std::string_view directory) const override;

  private:
    bool isThemeLookup(std::string_view type, std::string_view directory) const;

    Bundle& bundle_;
    std::string themeFile_;
    std::string themeName_;
};

}  // namespace plinka::themetool
