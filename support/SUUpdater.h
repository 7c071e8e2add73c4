#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AppcastLoader.h"

namespace plinka {

class Clock;

class Log;
class PLKAdditions;
class SUUpdater;
class SystemProfile;
class UserDefaults;

// One parameter sent with a feed request.
struct FeedParameter {
    std::string key;
    std::string displayKey;
    std::string value;
    std::string displayValue;

    bool operator==(const FeedParameter&) const = default;
};

// What the updater asks of its delegate and tells it.
class SUUpdaterDelegate {
  public:
    virtual ~SUUpdaterDelegate() = default;
    // Whether the updater should ask the user's permission before it checks.
    virtual bool updaterShouldPromptForPermissionToCheckForUpdates(SUUpdater& updater) = 0;
    // The parameters to send with the feed request besides the system profile.
    virtual std::vector<FeedParameter> feedParametersForUpdater(SUUpdater& updater,
                                                                bool sendingSystemProfile) = 0;
    // The appcast offers a version newer than the running one.
    virtual void updaterDidFindValidUpdate(SUUpdater& updater, const SUAppcastItem& update) = 0;
    // The appcast offers nothing newer.
    virtual void updaterDidNotFindUpdate(SUUpdater& updater) = 0;
};

// What the updater works with.
struct UpdaterServices {
    UserDefaults& defaults;
    PLKAdditions& information;
    SystemProfile& profile;
    AppcastLoader& appcasts;
    Log& log;
    Clock& clock;
};

// The update checker, without a user interface: fetches the appcast in the background and tells
// its delegate whether it offers a version newer than the running one. With "SUSendProfileInfo"
// on, at most once a week, the request carries the system profile and the delegate's parameters.
class SUUpdater {
  public:
    // How long the system profile is not sent again after it was sent.
    static constexpr double kProfileSubmissionInterval = 7 * 24 * 60 * 60;

    // The process's updater, made on the first call with services that last as long as the
    // process; later calls answer the same updater.
    static SUUpdater& sharedUpdater(const UpdaterServices& services);

    explicit SUUpdater(const UpdaterServices& services);
    ~SUUpdater();
    SUUpdater(const SUUpdater&) = delete;
    SUUpdater& operator=(const SUUpdater&) = delete;

    void setDelegate(SUUpdaterDelegate* delegate) { delegate_ = delegate; }

    // Starts a background check of the feed and returns; the outcome goes to the delegate, a
    // failure to the log. Does nothing while a check runs, nor when the delegate wants the
    // user asked first: this updater has no permission prompt.
    void checkForUpdateInformation();

  private:
    std::optional<std::string> feedURL() const;
    bool profileIsDue() const;
    std::vector<FeedParameter> systemProfile();
    void appcastDidFinishLoading(const AppcastLoader::Result& result, bool sentSystemProfile);

    UpdaterServices services_;
    SUUpdaterDelegate* delegate_ = nullptr;
    bool checking_ = false;
    // Completions of loads that outlive the updater find it gone.
    std::shared_ptr<SUUpdater*> self_;
};

}  // namespace plinka
