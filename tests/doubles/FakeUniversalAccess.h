#pragma once

#include <optional>
#include <string>

#include "platform/UniversalAccess.h"

namespace plinka::testing {

// The macOS layer's answers unless the test gives a guide of its own.
class FakeUniversalAccess final : public UniversalAccess {
  public:
    std::optional<UniversalAccessGuide> guide() const override { return ownGuide; }
    bool grantAccess(const std::string&) override { return true; }

    std::optional<UniversalAccessGuide> ownGuide;
};

}  // namespace plinka::testing
