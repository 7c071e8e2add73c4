#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plinka {

// The crash reports that earlier runs of the program left behind.
class CrashReports {
  public:
    virtual ~CrashReports() = default;
    // The paths of the reports not yet offered to the user, oldest first.
    virtual std::vector<std::string> unofferedReports() const = 0;
    // The report's text; nullopt when it cannot be read.
    virtual std::optional<std::string> contentsOfReport(const std::string& path) const = 0;
    // Marks the report offered, so that later launches do not offer it again.
    virtual void markOffered(const std::string& path) = 0;
    // The folder that holds every report, offered or not.
    virtual std::string reportsDirectory() const = 0;
};

}  // namespace plinka
