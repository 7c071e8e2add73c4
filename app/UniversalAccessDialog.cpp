// The permission to read every key: the test, the dialog that explains how to grant it, and its
// help button.
#include <array>
#include <utility>

#include "app/AppController.h"
#include "base/Format.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/EventTap.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "platform/UniversalAccess.h"
#include "platform/UrlOpener.h"
#include "support/PLKAdditions.h"

namespace plinka {

namespace {

// Opens the Accessibility list of System Preferences' Privacy tab, or the older Universal
// Access pane where that list does not exist.
constexpr std::string_view kRevealAccessibilityScript =
    "  if application \"System Preferences\" is running then\n"
    "    tell application \"System Preferences\" to quit\n"
    "    delay 1\n"
    "  end if\n"
    "  tell application \"System Preferences\"\n"
    "    activate\n"
    "    try\n"
    "      tell pane id \"com.apple.preference.security\" to reveal anchor "
    "\"Privacy_Accessibility\"\n"
    "    on error\n"
    "      tell pane id \"com.apple.preference.universalaccess\" to reveal\n"
    "    end try\n"
    "  end tell";

std::string macOSExplanation(const PLKAdditions& system) {
    if (system.systemIsMavericksOrHigher()) {
        return "%1$@ uses the Accessibility feature in Mac OS X, which is currently restricted."
               "\n\nPlease grant access to %1$@ in System Preferences > Security & Privacy > "
               "Privacy tab > Accessibility, then restart %1$@.\n\nClick the Help button for more "
               "information.";
    }
    if (system.systemIsMountainLion()) {
        return "%1$@ uses the Accessibility feature in Mac OS X, which is currently disabled.\n\n"
               "Please enable Accessibility by selecting the checkbox \"Enable access for "
               "assistive devices\" in the Accessibility pane of System Preferences, then restart "
               "%1$@.\n\nClick the Help button for more information.";
    }
    return "%1$@ uses the Accessibility feature in Mac OS X, which is currently disabled.\n\n"
           "Please enable Accessibility by selecting the checkbox \"Enable access for assistive "
           "devices\" in the Universal Access pane of System Preferences, then restart %1$@.\n\n"
           "Click the Help button for more information.";
}

std::string macOSHelpPage(const PLKAdditions& system) {
    using Release = bool (PLKAdditions::*)() const;
    constexpr std::array<std::pair<Release, std::string_view>, 9> pages{{
        {&PLKAdditions::systemIsHighSierra, "/help/accessibility/10.13.html"},
        {&PLKAdditions::systemIsSierra, "/help/accessibility/10.12.html"},
        {&PLKAdditions::systemIsElCapitan, "/help/accessibility/10.11.html"},
        {&PLKAdditions::systemIsYosemite, "/help/accessibility/10.10.html"},
        {&PLKAdditions::systemIsMavericks, "/help/accessibility/10.9.html"},
        {&PLKAdditions::systemIsMountainLion, "/help/accessibility/10.8.html"},
        {&PLKAdditions::systemIsLion, "/help/accessibility/10.7.html"},
        {&PLKAdditions::systemIsSnowLeopard, "/help/accessibility/10.6.html"},
        {&PLKAdditions::systemIsLeopard, "/help/accessibility/10.5.html"},
    }};
    for (const auto& [isRelease, page] : pages) {
        if ((system.*isRelease)()) {
            return std::string(page);
        }
    }
    return "/help/accessibility/versions.html";
}

UniversalAccessGuide macOSGuide(const PLKAdditions& system) {
    return {macOSExplanation(system), macOSHelpPage(system), "Open System Preferences and Quit"};
}

}  // namespace

void AppController::_checkUniversalAccess(Timer* timer) {
    if (terminationRequested_ || desktop_.eventTaps.canCapture()) {
        return;
    }
    if (timer != nullptr) {
        timer->invalidate();
    }
    // The test runs on the main thread (at launch and on the main run loop's timer), where
    // handing the dialog to the main thread and waiting for it is calling it.
    _showUniversalAccessDialog();
}

void AppController::_showUniversalAccessDialog() {
    const PLKAdditions& system = desktop_.information;
    const auto ownGuide = desktop_.access.guide();
    const UniversalAccessGuide guide = ownGuide ? *ownGuide : macOSGuide(system);
    const std::string explanation = stringWithFormat(guide.explanation, {system.applicationName()});

    desktop_.application.activateIgnoringOtherApps();
    Alert alert;
    alert.messageText = "Accessibility Required";
    alert.defaultButton = guide.defaultButton;
    alert.alternateButton = "Quit";
    alert.informativeText = stringWithFormat("%@", {explanation});
    alert.style = AlertStyle::Critical;
    alert.showsHelp = true;
    alert.helpAnchor = helpPageURL(guide.helpPage);
    alert.alertShowHelp = [this](const Alert& shown) { return alertShowHelp(shown); };
    if (desktop_.alerts.runModal(alert) == NSAlertDefaultReturn &&
        !desktop_.access.grantAccess(std::string(kRevealAccessibilityScript))) {
        desktop_.urls.openURL(alert.helpAnchor);
    }

    terminationRequested_ = true;
    platform_.runLoop.performOnMainThread([this] { desktop_.application.terminate(); });
}

bool AppController::alertShowHelp(const Alert& alert) {
    desktop_.urls.openURL(alert.helpAnchor);
    return true;
}

}  // namespace plinka
