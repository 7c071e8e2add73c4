#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/UserThemeFolder.h"

namespace plinka::testing {

// A user theme folder whose files the test sets; no files are needed.
class FakeUserThemeFolder final : public UserThemeFolder {
  public:
    std::optional<std::string> folderPath() const override { return std::nullopt; }
    std::vector<std::string> themeFilePaths() const override { return paths; }

    std::vector<std::string> paths;
};

}  // namespace plinka::testing
