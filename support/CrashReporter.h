#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plinka {

class AlertPresenter;
class CrashReports;
class Log;
class PLKAdditions;
class UrlOpener;

// The information-dictionary key of the address that crash reports are sent to.
constexpr std::string_view kFeedbackEmailKey = "PLKFeedbackEmail";

// What the crash reporter works with.
struct CrashReporterServices {
    CrashReports& reports;
    AlertPresenter& alerts;
    UrlOpener& urls;
    const PLKAdditions& information;
    Log& log;
};

// Offers, once, the reports that crashes of earlier runs left: to send them by e-mail to the
// feedback address, or to show them.
class CrashReporter {
  public:
    explicit CrashReporter(const CrashReporterServices& services) : services_(services) {}

    // At launch, on the main thread: YES when it found reports not yet offered and showed its
    // dialog about them, NO otherwise. Every report found counts as offered afterwards.
    bool check();

  private:
    void _sendReports(const std::vector<std::string>& reports);
    void _showReports();

    CrashReporterServices services_;
};

}  // namespace plinka
