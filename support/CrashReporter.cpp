#include "support/CrashReporter.h"

#include "base/FileUrl.h"
#include "base/Format.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/CrashReports.h"
#include "platform/UrlOpener.h"
#include "support/PLKAdditions.h"
#include "support/URLEncode.h"

namespace plinka {

namespace {

// Mail clients and the URL hand-off cope with long URLs, but not without limit; the reports
// past this many bytes are named by their folder instead.
constexpr size_t kMaximumMailBody = 24 * 1024;

// The address with each side of its "@" percent-encoded, the "@" itself left as it is.
std::string encodedAddress(std::string_view address) {
    const size_t at = address.rfind('@');
    if (at == std::string_view::npos) {
        return URLEncode::urlEncode(address);
    }
    return URLEncode::urlEncode(address.substr(0, at)) + "@" +
           URLEncode::urlEncode(address.substr(at + 1));
}

Alert crashAlert(const std::string& applicationName, size_t reportCount) {
    Alert alert;
    alert.messageText =
        stringWithFormat("%1$@ quit unexpectedly the last time it was used.", {applicationName});
    alert.informativeText =
        reportCount == 1 ? std::string(
                               "A report of the crash was saved. Would you like to send it to the "
                               "developer by e-mail? It helps to find and fix the problem.")
                         : stringWithFormat(
                               "Reports of %u crashes were saved. Would you like to send them to "
                               "the developer by e-mail? They help to find and fix the problem.",
                               {static_cast<unsigned>(reportCount)});
    alert.defaultButton = "Send by E-mail";
    alert.alternateButton = "Don't Send";
    alert.otherButton = "Show Reports";
    alert.style = AlertStyle::Warning;
    return alert;
}

}  // namespace

bool CrashReporter::check() {
    const std::vector<std::string> reports = services_.reports.unofferedReports();
    if (reports.empty()) {
        return false;
    }
    const int answer = services_.alerts.runModal(
        crashAlert(services_.information.applicationName(), reports.size()));
    if (answer == NSAlertDefaultReturn) {
        _sendReports(reports);
    } else if (answer == NSAlertOtherReturn) {
        _showReports();
    }
    // Offered means answered: whatever the answer, the next launch does not ask again; an alert
    // that closed unseen asks again. Marked only now, since the mail reads the reports where
    // they are.
    if (!services_.alerts.lastAlertAnswered()) {
        return true;
    }
    for (const auto& report : reports) {
        services_.reports.markOffered(report);
    }
    return true;
}

void CrashReporter::_sendReports(const std::vector<std::string>& reports) {
    std::string body;
    size_t left = 0;
    for (const auto& report : reports) {
        const auto contents = services_.reports.contentsOfReport(report);
        if (!contents) {
            continue;
        }
        if (!body.empty() && body.size() + contents->size() > kMaximumMailBody) {
            ++left;
            continue;
        }
        body += *contents;
        body += "\n";
    }
    if (left > 0) {
        body +=
            stringWithFormat("%u more reports are in %@\n",
                             {static_cast<unsigned>(left), services_.reports.reportsDirectory()});
    }
    const std::string* address =
        services_.information.infoValueForKey(kFeedbackEmailKey).stringValue();
    const std::string subject =
        stringWithFormat("%1$@ crash report", {services_.information.applicationName()});
    const std::string url = "mailto:" + encodedAddress(address ? *address : "") +
                            "?subject=" + URLEncode::urlEncode(subject) +
                            "&body=" + URLEncode::urlEncode(body);
    if (!services_.urls.openURL(url)) {
        services_.log.log("Unable to open a mail message for the crash reports");
    }
}

void CrashReporter::_showReports() {
    const std::string directory = services_.reports.reportsDirectory();
    if (!services_.urls.openURL(FileUrl::fileURLWithPath(directory))) {
        services_.log.log(stringWithFormat("Unable to show the crash reports in %@", {directory}));
    }
}

}  // namespace plinka
