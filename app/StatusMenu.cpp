// The status item, its menu, and the preference actions.
#include "app/AppController.h"
#include "base/Format.h"
#include "base/Menu.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "platform/StatusBar.h"
#include "platform/SystemSettings.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"
#include "support/LoginItems.h"
#include "support/PLKAdditions.h"

namespace plinka {

namespace {
// The information-dictionary key of the help site's host.
constexpr std::string_view kHelpHostKey = "PLKHelpHost";
}  // namespace

void AppController::_updateStatusItem() {
    if (statusItem_) {
        desktop_.statusBar.removeStatusItem(*statusItem_);
        statusItem_.reset();
    }
    const bool shown = desktop_.defaults.boolForKey("showInMenuBar");
    statusItem_ = desktop_.statusBar.statusItemWithLength(shown ? kShownLength : kHiddenLength);
    if (shown) {
        statusItem_->setHighlightMode(true);
        statusItem_->setImage("menubar", true);
    } else if (!desktop_.defaults.boolForKey("suppressMenuBarDisabledPopup")) {
        desktop_.application.activateIgnoringOtherApps();
        Alert notice;
        notice.messageText = "Just so you know...";
        notice.defaultButton = "OK";
        notice.informativeText = stringWithFormat(
            "With the %1$@ Menu Bar icon disabled, relaunch %1$@ from your Applications folder to "
            "access the menu again.",
            {desktop_.information.applicationName()});
        notice.style = AlertStyle::Informational;
        notice.showsSuppressionButton = true;
        notice.suppressionButtonChecked = true;
        bool suppress = true;
        desktop_.alerts.runModalWithSuppression(notice, suppress);
        if (suppress) {
            desktop_.defaults.setBool(true, "suppressMenuBarDisabledPopup");
        }
    }
    if (!statusItemMenu_) {
        statusItemMenu_ = std::make_shared<Menu>("Plinka Menu");
        statusItemMenu_->setDelegate([this](Menu& menu) { menuWillOpen(menu); });
    }
    statusItem_->setMenu(statusItemMenu_);
}

void AppController::menuWillOpen(Menu& /*menu*/) {
    _rebuildStatusItemMenu();
}

void AppController::_rebuildStatusItemMenu() {
    Menu& menu = *statusItemMenu_;
    menu.removeAllItems();
    MenuItem heading;
    heading.title = "Sound Themes";
    menu.addItem(heading);
    for (const std::string& name : sounds_.themeNames()) {
        MenuItem item = MenuItem::initWithTitle(
            name, [this](const MenuItem& sender) { soundSelectionChanged(&sender); }, "");
        if (sounds_.currentThemeName() == name) {
            item.state = 1;
        }
        menu.addItem(std::move(item));
    }
    menu.addItem(MenuItem::separatorItem());
    const std::string applicationName = desktop_.information.applicationName();
    menu.addItem(MenuItem::initWithTitle(
        stringWithFormat("About %@", {applicationName}), [this](const MenuItem&) { showAbout(); },
        ""));
    MenuItem help = MenuItem::initWithTitle(
        "Online Help\u2026", [this](const MenuItem&) { showHelp(); }, "");
    help.keyEquivalentModifierMask = NSAlternateKeyMask;
    help.alternate = true;
    menu.addItem(std::move(help));
    menu.addItem(MenuItem::initWithTitle(
        stringWithFormat("Quit %@", {applicationName}),
        [this](const MenuItem&) { desktop_.application.terminate(); }, ""));
}

void AppController::observeValueForKeyPath(const std::string& keyPath) {
    if (keyPath == "showInMenuBar") {
        platform_.runLoop.performOnMainThread([this] { _updateStatusItem(); });
    }
}

void AppController::showAbout() {
    desktop_.application.activateIgnoringOtherApps();
    desktop_.application.orderFrontStandardAboutPanel();
    desktop_.application.raisePanelsAboveAllWindows();
    desktop_.application.orderFrontStandardAboutPanel();
}

void AppController::showHelp() {
    desktop_.urls.openURL(helpPageURL("/help/plinka"));
}

std::string AppController::helpPageURL(std::string_view path) const {
    const Object host = desktop_.information.infoValueForKey(kHelpHostKey);
    const std::string* name = host.stringValue();
    return "http://" + (name ? *name : std::string()) + std::string(path);
}

void AppController::soundSelectionChanged(const MenuItem* sender) {
    if (sender != nullptr) {
        _setSoundThemeByName(sender->title);
    }
}

void AppController::_setSoundThemeByName(const std::optional<std::string>& name) {
    const std::optional<std::string> before = sounds_.currentThemeName();
    sounds_.setThemeByName(name);
    const auto& current = sounds_.currentThemeName();
    desktop_.defaults.setObject(current ? Object::string(*current) : Object(), "soundTheme");
    if (desktop_.defaults.boolForKey("playSoundOnThemeSelection")) {
        sounds_.playSoundForKeyCode(SoundTheme::kSampleKeyCode, 1);
    }
    if (current != before) {
        announce("theme");
    }
}

void AppController::toggleShowMenuBarIcon() {
    desktop_.defaults.setBool(!desktop_.defaults.boolForKey("showInMenuBar"), "showInMenuBar");
    _updateStatusItem();
}

void AppController::toggleCheckForUpdates() {
    desktop_.defaults.setBool(!desktop_.defaults.boolForKey("SUEnableAutomaticChecks"),
                              "SUEnableAutomaticChecks");
}

void AppController::toggleStartAtLogin(int senderState) {
    if (senderState != 0) {
        desktop_.loginItems.removeBundle(platform_.mainBundle);
    } else {
        desktop_.loginItems.addBundle(platform_.mainBundle);
    }
}

void AppController::showLoginItems() {
    platform_.runLoop.performOnMainThread([this] { _showLoginItems(); });
}

void AppController::_showLoginItems() {
    const std::string source =
        "tell application \"System Preferences\"\n"
        "  activate\n"
        "  reveal anchor \"startupItemsPref\" of pane id \"com.apple.preferences.users\"\n"
        "end tell";
    desktop_.settings.revealLoginItems(source);
}

}  // namespace plinka
