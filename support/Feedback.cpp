#include "support/Feedback.h"

#include "base/Format.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Clock.h"
#include "platform/ProcessInformation.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "support/LowercaseString.h"
#include "support/PLKAdditions.h"
#include "support/URLEncode.h"

namespace plinka {

namespace {

constexpr std::string_view kLastVersionUsedKey = "FeedbackLastVersionUsed";
constexpr std::string_view kFirstUsedKey = "FeedbackFirstUsed";
constexpr std::string_view kPromptedKey = "FeedbackPrompted";
constexpr std::string_view kSuppressKey = "FeedbackSuppress";
// How long a build version is used before feedback is asked for: 7 days.
constexpr double kFeedbackDelay = 604800.0;

}  // namespace

Feedback& Feedback::sharedInstance(const FeedbackServices& services) {
    static Feedback feedback(services);
    return feedback;
}

Feedback::Feedback(const FeedbackServices& services) : services_(services) {
    UserDefaults& defaults = services_.defaults;
    const std::optional<std::string> version = applicationVersion();
    const std::optional<std::string> lastVersion = defaults.stringForKey(kLastVersionUsedKey);
    if (version && lastVersion == version) {
        // A value that is no date (an outside edit) counts as none.
        const std::optional<double> firstUsed = defaults.objectForKey(kFirstUsedKey).dateValue();
        if (defaults.boolForKey(kPromptedKey) || defaults.boolForKey(kSuppressKey) || !firstUsed) {
            return;
        }
        if (services_.clock.timeIntervalSinceReferenceDate() - *firstUsed >= kFeedbackDelay) {
            promptForFeedback();
        }
        return;
    }
    defaults.setObject(Object::date(services_.clock.timeIntervalSinceReferenceDate()),
                       kFirstUsedKey);
    defaults.setObject(version ? Object::string(*version) : Object(), kLastVersionUsedKey);
    defaults.setBool(false, kPromptedKey);
    defaults.synchronize();
}

void Feedback::promptForFeedback() {
    services_.application.activateIgnoringOtherApps();
    const std::string name = applicationName();
    Alert alert;
    alert.messageText = stringWithFormat("Tell Us What You Think of %@", {name});
    alert.defaultButton = "Send Feedback";
    alert.alternateButton = "Not Now";
    alert.informativeText = stringWithFormat(
        "Thank you for using %1$@!  Have you had any issues to report or ideas for "
        "improvement?\n\nJust a quick email would be greatly appreciated.",
        {name});
    alert.style = AlertStyle::Informational;
    alert.showsSuppressionButton = true;
    bool suppress = false;
    const int answer = services_.alerts.runModalWithSuppression(alert, suppress);

    UserDefaults& defaults = services_.defaults;
    if (answer == NSAlertAlternateReturn) {
        defaults.setObject(Object::date(services_.clock.timeIntervalSinceReferenceDate()),
                           kFirstUsedKey);
    } else if (answer == NSAlertDefaultReturn) {
        sendFeedback();
        defaults.setBool(true, kPromptedKey);
    }
    if (suppress) {
        defaults.setBool(true, kSuppressKey);
    }
    defaults.synchronize();
}

void Feedback::sendFeedback() {
    const std::string name = applicationName();
    const std::string subject = stringWithFormat(
        "Feedback for %@ %@ (%@) on %@",
        {name, applicationShortVersionString(), applicationVersion(), osVersion()});
    const std::string body = stringWithFormat(
        "What do you like about %1$@?\n\nWhat could be added/removed?\n\nHave you had any issues?",
        {name});
    const std::string* domain = infoValueForKey(kMailDomainKey).stringValue();
    if (domain == nullptr) {
        services_.log.log("No mail domain in the information dictionary; cannot send feedback");
        return;
    }
    const std::string url = "mailto:" + URLEncode::urlEncode(lowercaseString(name)) + "@" +
                            *domain + "?subject=" + URLEncode::urlEncode(subject) +
                            "&body=" + URLEncode::urlEncode(body);
    if (!services_.urls.openURL(url)) {
        services_.log.log("Unable to open a mail message for the feedback");
    }
}

Object Feedback::infoValueForKey(std::string_view key) const {
    return services_.information.infoValueForKey(key);
}

std::string Feedback::applicationName() const {
    for (const std::string_view key : {"CFBundleName", "CFBundleDisplayName"}) {
        if (const std::string* name = infoValueForKey(key).stringValue()) {
            return *name;
        }
    }
    return services_.mainBundle.localizedStringForKey("this application", "", "");
}

std::optional<std::string> Feedback::applicationShortVersionString() const {
    return services_.information.applicationShortVersionString();
}

std::optional<std::string> Feedback::applicationVersion() const {
    return services_.information.applicationVersion();
}

std::string Feedback::osVersion() const {
    return services_.processInformation.operatingSystemVersionString();
}

}  // namespace plinka
