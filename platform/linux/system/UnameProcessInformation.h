#pragma once

#include <optional>
#include <string>

#include "platform/ProcessInformation.h"

namespace plinka {

// The Linux answers: the kernel's release as the version, the distribution's name (os-release)
// beside it for people, /etc/machine-id as the identity.
class UnameProcessInformation final : public ProcessInformation {
  public:
    explicit UnameProcessInformation(std::string machineIdPath = "/etc/machine-id")
        : machineIdPath_(std::move(machineIdPath)) {}

    // The leading numbers of the kernel's release ("6.1.0-18-amd64" is 6.1.0); missing ones are 0.
    std::optional<OperatingSystemVersion> operatingSystemVersion() const override;
    // "<distribution's pretty name>, <kernel> <release>", for example "Debian GNU/Linux 12
    // (bookworm), Linux 6.1.0-28-amd64"; the kernel alone where the distribution is unknown.
    std::string operatingSystemVersionString() const override;
    // The SHA-1 of the machine-id file, in hexadecimal; fails when the file is missing or empty,
    // rather than hashing nothing.
    std::string machineIdentifierCommand() const override;

    // The version in a kernel release text.
    static OperatingSystemVersion versionOfRelease(std::string_view release);

  private:
    std::string machineIdPath_;
};

}  // namespace plinka
