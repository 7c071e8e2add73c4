#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace plinka {

// The running operating system's release, as the system numbers it.
struct OperatingSystemVersion {
    int64_t majorVersion = 0;
    int64_t minorVersion = 0;
    int64_t patchVersion = 0;
};

// What the system says about itself to the running process.
class ProcessInformation {
  public:
    virtual ~ProcessInformation() = default;
    // The release triple; nullopt on a system that does not offer it, whose version then comes
    // from its attribute service.
    virtual std::optional<OperatingSystemVersion> operatingSystemVersion() const = 0;
    // The system's name and version as people read it, for reports.
    virtual std::string operatingSystemVersionString() const = 0;
    // A shell command that prints a digest of this machine's identity and exits with a status
    // other than 0 when it cannot read that identity.
    virtual std::string machineIdentifierCommand() const = 0;
};

}  // namespace plinka
