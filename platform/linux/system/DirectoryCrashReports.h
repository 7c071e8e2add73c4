#pragma once

#include <optional>
#include <string>

#include "platform/CrashReports.h"

namespace plinka {

// The reports the crash handler leaves in one folder: "<name>.crash" until offered, then
// renamed "<name>.offered.crash" and kept.
class DirectoryCrashReports final : public CrashReports {
  public:
    explicit DirectoryCrashReports(std::string directory) : directory_(std::move(directory)) {}

    // $XDG_STATE_HOME/<applicationName>/crashes, else ~/.local/state/<applicationName>/crashes;
    // nullopt without a home folder.
    static std::optional<std::string> defaultDirectory(const std::string& applicationName);

    std::vector<std::string> unofferedReports() const override;
    std::optional<std::string> contentsOfReport(const std::string& path) const override;
    void markOffered(const std::string& path) override;
    std::string reportsDirectory() const override { return directory_; }

  private:
    std::string directory_;
};

}  // namespace plinka
