#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/AliasFiles.h"

namespace plinka::testing {

// Alias files the test names, each with its target; keeps every path it was asked about.
class FakeAliasFiles final : public AliasFiles {
  public:
    std::optional<std::string> resolveAliasFile(const std::string& path) const override {
        asked.push_back(path);
        const auto found = targets.find(path);
        return found == targets.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::string, std::string> targets;
    mutable std::vector<std::string> asked;
};

}  // namespace plinka::testing
