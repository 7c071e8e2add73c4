#include "support/SUUpdater.h"

#include "platform/Clock.h"

#include <cmath>

#include "base/Log.h"
#include "platform/SystemProfile.h"
#include "platform/UserDefaults.h"
#include "support/PLKAdditions.h"
#include "support/VersionComparison.h"

namespace plinka {

namespace {

constexpr std::string_view kFeedURLKey = "SUFeedURL";
constexpr std::string_view kSendProfileKey = "SUSendProfileInfo";
constexpr std::string_view kLastProfileSubmissionKey = "SULastProfileSubmissionDate";

void addParameter(std::vector<FeedParameter>& parameters, std::string key, std::string displayKey,
                  const std::optional<std::string>& value) {
    if (value && !value->empty()) {
        parameters.push_back({std::move(key), std::move(displayKey), *value, *value});
    }
}

// The item that offers the highest version; null when no item names one.
const SUAppcastItem* newestItem(const std::vector<SUAppcastItem>& items) {
    const SUAppcastItem* newest = nullptr;
    for (const SUAppcastItem& item : items) {
        if (item.versionString &&
            (!newest || compareVersions(*item.versionString, *newest->versionString) > 0)) {
            newest = &item;
        }
    }
    return newest;
}

}  // namespace

SUUpdater& SUUpdater::sharedUpdater(const UpdaterServices& services) {
    static SUUpdater updater(services);
    return updater;
}

SUUpdater::SUUpdater(const UpdaterServices& services)
    : services_(services), self_(std::make_shared<SUUpdater*>(this)) {}

SUUpdater::~SUUpdater() = default;

void SUUpdater::checkForUpdateInformation() {
    if (checking_) {
        return;
    }
    if (delegate_ && delegate_->updaterShouldPromptForPermissionToCheckForUpdates(*this)) {
        services_.log.log("No update check: the user's permission is wanted and is never asked");
        return;
    }
    const std::optional<std::string> url = feedURL();
    if (!url) {
        services_.log.log("No update check: no SUFeedURL in the defaults or the Info.plist");
        return;
    }
    const bool sendingSystemProfile = profileIsDue();
    std::vector<FeedParameter> parameters;
    if (delegate_) {
        parameters = delegate_->feedParametersForUpdater(*this, sendingSystemProfile);
    }
    if (sendingSystemProfile) {
        for (FeedParameter& parameter : systemProfile()) {
            parameters.push_back(std::move(parameter));
        }
    }
    std::vector<AppcastLoader::QueryItem> query;
    for (const FeedParameter& parameter : parameters) {
        query.emplace_back(parameter.key, parameter.value);
    }
    checking_ = true;
    std::weak_ptr<SUUpdater*> self = self_;
    services_.appcasts.loadAppcast(
        *url, query, [self, sendingSystemProfile](const AppcastLoader::Result& result) {
            if (const auto updater = self.lock()) {
                (*updater)->appcastDidFinishLoading(result, sendingSystemProfile);
            }
        });
}

std::optional<std::string> SUUpdater::feedURL() const {
    const std::optional<std::string> chosen = services_.defaults.stringForKey(kFeedURLKey);
    if (chosen && !chosen->empty()) {
        return chosen;
    }
    if (const std::string* shipped =
            services_.information.infoValueForKey(kFeedURLKey).stringValue()) {
        return *shipped;
    }
    return std::nullopt;
}

bool SUUpdater::profileIsDue() const {
    if (!services_.defaults.boolForKey(kSendProfileKey)) {
        return false;
    }
    const auto last = services_.defaults.objectForKey(kLastProfileSubmissionKey).dateValue();
    // A date ahead of the clock (the clock was set back) holds nothing back.
    return !last || std::abs(services_.clock.timeIntervalSinceReferenceDate() - *last) >=
                        kProfileSubmissionInterval;
}

std::vector<FeedParameter> SUUpdater::systemProfile() {
    PLKAdditions& information = services_.information;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t bugFix = 0;
    information.getSystemVersionMajor(&major, &minor, &bugFix);
    std::vector<FeedParameter> profile;
    addParameter(profile, "appName", "Application Name", information.applicationName());
    addParameter(profile, "appVersion", "Application Version", information.applicationVersion());
    addParameter(
        profile, "osVersion", "OS Version",
        std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(bugFix));
    addParameter(profile, "cpuArch", "CPU Architecture", services_.profile.cpuArchitecture());
    addParameter(profile, "lang", "Preferred Language", services_.profile.preferredLanguage());
    return profile;
}

void SUUpdater::appcastDidFinishLoading(const AppcastLoader::Result& result,
                                        bool sentSystemProfile) {
    checking_ = false;
    if (result.failure) {
        services_.log.log("Update check failed: " + *result.failure);
        return;
    }
    // Only a profile that reached the feed waits a week: an offline launch sends it next time.
    if (sentSystemProfile) {
        services_.defaults.setObject(Object::date(services_.clock.timeIntervalSinceReferenceDate()),
                                     kLastProfileSubmissionKey);
    }
    if (!delegate_) {
        return;
    }
    const SUAppcastItem* newest = newestItem(result.items);
    const std::string running = services_.information.applicationVersion().value_or("");
    if (newest && compareVersions(*newest->versionString, running) > 0) {
        delegate_->updaterDidFindValidUpdate(*this, *newest);
    } else {
        delegate_->updaterDidNotFindUpdate(*this);
    }
}

}  // namespace plinka
