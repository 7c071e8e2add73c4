#pragma once

#include "platform/AliasFiles.h"

namespace plinka {

// Linux file systems have no alias files; symbolic links do their job.
class NoAliasFiles final : public AliasFiles {
  public:
    std::optional<std::string> resolveAliasFile(const std::string&) const override {
        return std::nullopt;
    }
};

}  // namespace plinka
