#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace plinka {

class AlertPresenter;
class Application;
class Bundle;
class Clock;
class Log;
class PLKAdditions;
class ProcessInformation;
class UrlOpener;
class UserDefaults;

// The information-dictionary key of the maker's mail domain, where feedback mail goes.
constexpr std::string_view kMailDomainKey = "PLKMailDomain";

// What the feedback prompt works with.
struct FeedbackServices {
    UserDefaults& defaults;
    AlertPresenter& alerts;
    Application& application;
    UrlOpener& urls;
    const PLKAdditions& information;
    const Bundle& mainBundle;
    const ProcessInformation& processInformation;
    const Clock& clock;
    Log& log;
};

// Asks, at launch, a week after a build version was first used, for a short e-mail about the
// application; the answer can put the question off for a week or turn it off for good.
class Feedback {
  public:
    // Made, with the launch check, on the first call; later calls answer it as it is.
    static Feedback& sharedInstance(const FeedbackServices& services);

    // The launch check: records a new build version, or prompts when its week is up. On the
    // main thread; the prompt is modal.
    explicit Feedback(const FeedbackServices& services);
    Feedback(const Feedback&) = delete;
    Feedback& operator=(const Feedback&) = delete;

    // Shows the prompt and records the answer.
    void promptForFeedback();
    // Opens a new mail to the maker, its subject and body filled in.
    void sendFeedback();

    // The main bundle's value for the key, the localized dictionary first; Nil when absent.
    Object infoValueForKey(std::string_view key) const;
    // CFBundleName, else CFBundleDisplayName, else "this application" as translated.
    std::string applicationName() const;
    // "CFBundleShortVersionString".
    std::optional<std::string> applicationShortVersionString() const;
    // "CFBundleVersion".
    std::optional<std::string> applicationVersion() const;
    // The operating system's name and version as people read it.
    std::string osVersion() const;

  private:
    FeedbackServices services_;
};

}  // namespace plinka
