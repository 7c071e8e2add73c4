#pragma once

#include <functional>
#include <optional>
#include <string>

namespace plinka {

enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

// The answers of a modal alert, by button.
constexpr int NSAlertDefaultReturn = 1;
constexpr int NSAlertAlternateReturn = 0;
constexpr int NSAlertOtherReturn = -1;

// What a modal alert shows. A button without a title is not shown.
struct Alert {
    std::string messageText;
    std::optional<std::string> defaultButton;
    std::optional<std::string> alternateButton;
    std::optional<std::string> otherButton;
    // The key that also presses the alternate button ("\033": Escape).
    std::string alternateButtonKeyEquivalent;
    std::string informativeText;
    AlertStyle style = AlertStyle::Warning;
    // A "Do not show this message again" box, checked or not as the alert opens.
    bool showsSuppressionButton = false;
    bool suppressionButtonChecked = false;
    // A help button. Pressing it hands the alert to the delegate's alertShowHelp, which shows
    // the page of `helpAnchor` and answers true; the alert stays open.
    bool showsHelp = false;
    std::string helpAnchor;
    std::function<bool(const Alert&)> alertShowHelp;
};

// Shows alerts to the person at the desktop.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    // Shows the alert above every window and waits for an answer; call on the main thread. An
    // alert closed without a click (the application ended under it) answers its alternate
    // button: nobody chose the default.
    virtual int runModal(const Alert& alert) = 0;
    // Whether the person answered the last alert (a button, a key, its close box), rather than
    // it closing unseen as the application ended.
    virtual bool lastAlertAnswered() const { return true; }
    // As runModal, and tells whether the suppression box was left checked.
    virtual int runModalWithSuppression(const Alert& alert, bool& suppressionChecked) {
        suppressionChecked = alert.suppressionButtonChecked;
        return runModal(alert);
    }
};

}  // namespace plinka
