#pragma once

#include "platform/SystemProfile.h"

namespace plinka {

// The kernel's machine name as the architecture, and the first of the user's languages.
class LinuxSystemProfile final : public SystemProfile {
  public:
    std::string cpuArchitecture() const override;
    std::optional<std::string> preferredLanguage() const override;
};

}  // namespace plinka
