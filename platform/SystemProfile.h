#pragma once

#include <optional>
#include <string>

namespace plinka {

// What the machine says about itself for the update checker's system profile, beyond the
// system version.
class SystemProfile {
  public:
    virtual ~SystemProfile() = default;
    // The processor architecture the application runs on, such as "x86_64".
    virtual std::string cpuArchitecture() const = 0;
    // The user's most wanted language, such as "de_DE"; nullopt when none is set.
    virtual std::optional<std::string> preferredLanguage() const = 0;
};

}  // namespace plinka
