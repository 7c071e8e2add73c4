#pragma once

#include <optional>
#include <string>

#include "platform/UniversalAccess.h"

namespace plinka::testing {

// The macOS layer's answers unless the test gives a guide of its own; keeps the scripts it was
// asked to run.
class FakeUniversalAccess final : public UniversalAccess {
  public:
    std::optional<UniversalAccessGuide> guide() const override { return ownGuide; }
    bool grantAccess(const std::string& appleScriptSource) override {
        scripts.push_back(appleScriptSource);
        return true;
    }

    std::optional<UniversalAccessGuide> ownGuide;
    std::vector<std::string> scripts;
};

}  // namespace plinka::testing
