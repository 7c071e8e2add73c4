#pragma once

#include "platform/SystemProfile.h"

namespace plinka::testing {

// A machine described by the test.
class FakeSystemProfile final : public SystemProfile {
  public:
    std::string cpuArchitecture() const override { return "x86_64"; }
    std::optional<std::string> preferredLanguage() const override { return language; }

    std::optional<std::string> language = "de_DE";
};

}  // namespace plinka::testing
