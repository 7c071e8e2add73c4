#include "support/MoveToApplicationsFolder.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "base/FileUrl.h"
#include "base/Format.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/ApplicationInstallation.h"
#include "platform/Bundle.h"
#include "platform/CommandRunner.h"
#include "platform/FileManager.h"
#include "platform/PrivilegedExecution.h"
#include "platform/UserDefaults.h"
#include "support/SymlinksAndAliases.h"

namespace plinka {

namespace {

// Below this toolkit level alerts have no suppression box and files cannot be copied.
constexpr double kSuppressionAndCopyLevel = 824;
// Above this one the quarantine is cleared from everything in the bundle.
constexpr double kRecursiveQuarantineLevel = 949;

bool hasPrefix(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool hasAnyPrefix(std::string_view text, const std::vector<std::string>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return hasPrefix(text, prefix); });
}

bool hasComponent(std::string_view path, std::string_view component) {
    while (!path.empty()) {
        const size_t slash = path.find('/');
        if (path.substr(0, slash) == component) {
            return true;
        }
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    return false;
}

std::string_view trimmedOfWhitespace(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Moves the item to the Trash; logs when it cannot.
bool trashItemAtPath(const MoveToApplicationsFolderServices& services, const std::string& path) {
    if (services.files.recycleFiles(FileUrl::deletingLastPathComponent(path),
                                    {FileUrl::lastPathComponent(path)})) {
        return true;
    }
    services.log.log(stringWithFormat("ERROR -- Could not trash '%@'", {path}));
    return false;
}

// One run of the offer: what it found out about the running bundle and where it would go.
class MoveOffer {
  public:
    explicit MoveOffer(const MoveToApplicationsFolderServices& services)
        : services_(services),
          bundlePath_(services.mainBundle.bundlePath()),
          bundleWritable_(services.files.isWritableFileAtPath(bundlePath_)),
          fromReadOnlyVolume_(hasAnyPrefix(bundlePath_, services.installation.volumesFolders()) &&
                              !bundleWritable_),
          appKitLevel_(std::floor(services.installation.appKitVersionNumber())) {}

    bool run();

  private:
    bool shouldOffer();
    void chooseDestination();
    Alert offerAlert() const;
    bool moveWithAuthorization();
    bool moveByCopying();
    [[noreturn]] void afterSuccessfulCopy();
    bool showFailureAlert();
    std::string localized(std::string_view key) const {
        return services_.mainBundle.localizedStringForKey(key, "", kMoveApplicationTable);
    }
    void log(const std::string& line) const { services_.log.log(line); }

    const MoveToApplicationsFolderServices& services_;
    const std::string bundlePath_;
    const bool bundleWritable_;
    const bool fromReadOnlyVolume_;
    const double appKitLevel_;
    std::string installFolder_;
    bool inHomeFolder_ = false;
    std::string destinationPath_;
    bool needsAuthorization_ = false;
};

bool MoveOffer::run() {
    if (!shouldOffer()) {
        return false;
    }
    chooseDestination();

    services_.application.activateIgnoringOtherApps();
    bool suppress = false;
    const int answer = services_.alerts.runModalWithSuppression(offerAlert(), suppress);
    if (answer != NSAlertDefaultReturn) {
        if (appKitLevel_ <= kSuppressionAndCopyLevel || suppress) {
            services_.defaults.setBool(true, kMoveAlertSuppressKey);
        }
        return true;
    }
    log("INFO -- Moving myself to the Applications folder");
    return needsAuthorization_ ? moveWithAuthorization() : moveByCopying();
}

bool MoveOffer::shouldOffer() {
    if (services_.defaults.boolForKey(kMoveAlertSuppressKey)) {
        return false;
    }
    const std::vector<std::string> applicationsFolders =
        services_.installation.searchPathForDirectoriesInDomains(SearchPathDirectory::Applications,
                                                                 NSAllDomainsMask);
    if (hasAnyPrefix(bundlePath_, applicationsFolders) ||
        hasComponent(bundlePath_, "Applications")) {
        return false;
    }
    const bool onVolumes = hasAnyPrefix(bundlePath_, services_.installation.volumesFolders());
    if (!bundleWritable_ && !onVolumes) {
        log("INFO -- No access to delete the app. Not offering to move it.");
        return false;
    }
    return true;
}

void MoveOffer::chooseDestination() {
    const SymlinksAndAliases paths(services_.aliases);
    const std::vector<std::string> userFolders =
        services_.installation.searchPathForDirectoriesInDomains(SearchPathDirectory::Applications,
                                                                 NSUserDomainMask);
    bool isDirectory = false;
    std::optional<std::string> folder;
    if (!userFolders.empty() && services_.files.fileExistsAtPath(userFolders[0], &isDirectory) &&
        isDirectory) {
        folder = paths.stringByResolvingSymlinksAndAliases(userFolders[0]);
        inHomeFolder_ = true;
    } else {
        const std::vector<std::string> localFolders =
            services_.installation.searchPathForDirectoriesInDomains(
                SearchPathDirectory::Applications, NSLocalDomainMask);
        if (!localFolders.empty()) {
            folder = paths.stringByResolvingSymlinksAndAliases(localFolders.back());
        }
    }
    // A folder that does not resolve leaves no destination, which the move refuses.
    installFolder_ = folder.value_or("");
    if (!installFolder_.empty()) {
        destinationPath_ = FileUrl::appendingPathComponent(installFolder_,
                                                           FileUrl::lastPathComponent(bundlePath_));
    }
    needsAuthorization_ = !services_.files.isWritableFileAtPath(installFolder_);
}

Alert MoveOffer::offerAlert() const {
    Alert alert;
    alert.messageText = localized(inHomeFolder_ ? "Move to Applications folder in your Home folder?"
                                                : "Move to Applications folder?");
    alert.informativeText =
        localized("Plinka can move itself to the Applications folder if you'd like.");
    const bool inDownloads =
        appKitLevel_ > kSuppressionAndCopyLevel
            ? hasAnyPrefix(bundlePath_, services_.installation.searchPathForDirectoriesInDomains(
                                            SearchPathDirectory::Downloads, NSAllDomainsMask))
            : FileUrl::lastPathComponent(FileUrl::deletingLastPathComponent(bundlePath_)) ==
                  "Downloads";
    if (needsAuthorization_) {
        alert.informativeText +=
            " " + localized("Note that this will require an administrator password.");
    } else if (inDownloads) {
        alert.informativeText +=
            " " + localized("This will keep your Downloads folder uncluttered.");
    }
    alert.defaultButton = localized("Move to Applications Folder");
    alert.alternateButton = localized("Do Not Move");
    alert.alternateButtonKeyEquivalent = "\033";
    alert.showsSuppressionButton = appKitLevel_ > kSuppressionAndCopyLevel;
    return alert;
}

bool MoveOffer::moveWithAuthorization() {
    const auto failure = [this] {
        log(stringWithFormat("ERROR -- Could not copy myself to %@ with authorization",
                             {installFolder_}));
        return showFailureAlert();
    };
    if (!destinationPath_.ends_with(".app") || trimmedOfWhitespace(destinationPath_).empty() ||
        trimmedOfWhitespace(bundlePath_).empty()) {
        return failure();
    }
    std::vector<int> waitStatuses;
    const OSStatus status = services_.authorization.executeWithPrivileges(
        {{"/bin/rm", "-rf", destinationPath_}, {"/bin/cp", "-pR", bundlePath_, destinationPath_}},
        &waitStatuses);
    if (status == errAuthorizationCanceled) {
        log("INFO -- Not moving because user canceled authorization");
        return true;
    }
    if (status != errAuthorizationSuccess) {
        return failure();
    }
    // The removal only has to end normally; the copy has to succeed.
    const auto endedNormally = [](int waitStatus) {
        return waitStatus != -1 && (waitStatus & 0x7F) == 0;
    };
    const auto succeeded = [](int waitStatus) {
        return waitStatus != -1 && (waitStatus & 0xFF7F) == 0;
    };
    if (waitStatuses.size() < 2 || !endedNormally(waitStatuses[0]) || !succeeded(waitStatuses[1])) {
        return failure();
    }
    afterSuccessfulCopy();
}

bool MoveOffer::moveByCopying() {
    if (services_.files.fileExistsAtPath(destinationPath_, nullptr)) {
        if (services_.installation.isApplicationRunningFromBundle(destinationPath_)) {
            log("INFO -- Switching to an already running version");
            services_.commands.runShellCommand(
                services_.installation.openCommand(destinationPath_));
            services_.installation.exitProcess(0);
        }
        if (!trashItemAtPath(services_, destinationPath_)) {
            return showFailureAlert();
        }
    }
    if (appKitLevel_ > kSuppressionAndCopyLevel) {
        std::string error;
        if (services_.files.copyItemAtPath(bundlePath_, destinationPath_, &error)) {
            afterSuccessfulCopy();
        }
        log(stringWithFormat("ERROR -- Could not copy '%@' to '%@' (%@)",
                             {bundlePath_, destinationPath_, error}));
    }
    log(stringWithFormat("ERROR -- Could not copy myself to %@", {destinationPath_}));
    return showFailureAlert();
}

void MoveOffer::afterSuccessfulCopy() {
    if (!fromReadOnlyVolume_ && !trashItemAtPath(services_, bundlePath_)) {
        log("WARNING -- Could not delete application after moving it to Applications folder");
    }
    ApplicationInstallation& installation = services_.installation;
    const int pid = installation.processIdentifier();
    std::string quarantine;
    if (appKitLevel_ > kRecursiveQuarantineLevel) {
        quarantine = installation.quarantineRemovalCommand(destinationPath_, true);
    } else if (appKitLevel_ > kSuppressionAndCopyLevel) {
        quarantine = installation.quarantineRemovalCommand(destinationPath_, false);
    }
    installation.applicationMoved(bundlePath_, destinationPath_);
    services_.commands.startShellCommand(
        installation.relaunchCommand(pid, quarantine, destinationPath_));
    if (fromReadOnlyVolume_) {
        services_.commands.startShellCommand(
            installation.detachCommand(FileUrl::deletingLastPathComponent(bundlePath_)));
    }
    installation.exitProcess(0);
}

bool MoveOffer::showFailureAlert() {
    Alert alert;
    alert.messageText = localized("Could not move to Applications folder");
    services_.alerts.runModal(alert);
    return true;
}

}  // namespace

bool offerMoveToApplicationsFolder(const MoveToApplicationsFolderServices& services) {
    return MoveOffer(services).run();
}

}  // namespace plinka
