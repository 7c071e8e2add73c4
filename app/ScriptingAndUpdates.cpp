// The scripting keys "theme", "themes", "volume" and "muted", and the answers to the updater.
#include "app/AppController.h"
#include "platform/UserDefaults.h"
#include "sound/SoundController.h"
#include "support/PLKAdditions.h"

namespace plinka {

bool AppController::applicationDelegateHandlesKey(Application& /*application*/,
                                                  const std::string& key) {
    return key == "theme" || key == "themes" || key == "volume" || key == "muted";
}

std::optional<std::string> AppController::theme() const {
    return sounds_.currentThemeName();
}

void AppController::setTheme(const std::string& name) {
    _setSoundThemeByName(name);
}

std::vector<std::string> AppController::themes() const {
    return sounds_.themeNames();
}

void AppController::addScriptingObserver(KeyObserver observer) {
    scriptingObservers_.push_back(std::move(observer));
}

void AppController::announce(const std::string& key) {
    for (const KeyObserver& observer : scriptingObservers_) {
        observer(key);
    }
    for (const auto& observer : preferencesObservers_) {
        observer();
    }
}

bool AppController::updaterShouldPromptForPermissionToCheckForUpdates(SUUpdater& /*updater*/) {
    return false;
}

std::vector<FeedParameter> AppController::feedParametersForUpdater(SUUpdater& /*updater*/,
                                                                   bool sendingSystemProfile) {
    std::vector<FeedParameter> parameters;
    if (!sendingSystemProfile) {
        return parameters;
    }
    // An absent value leaves its parameter out: none is ever sent without a value.
    if (const std::optional<std::string> uuid = desktop_.information.uuid()) {
        parameters.push_back({"uuid", "UUID", *uuid, *uuid});
    }
    if (const std::optional<std::string> saved = desktop_.defaults.stringForKey("soundTheme")) {
        parameters.push_back({"soundTheme", "Sound Theme", *saved, *saved});
    }
    return parameters;
}

void AppController::updaterDidFindValidUpdate(SUUpdater& /*updater*/,
                                              const SUAppcastItem& /*update*/) {}

void AppController::updaterDidNotFindUpdate(SUUpdater& /*updater*/) {}

}  // namespace plinka
