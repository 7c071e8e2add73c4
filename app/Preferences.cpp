// What the Preferences window shows and asks for: themes, the sound pack import, volume and
// mute, and the preferences that only need storing.
#include <algorithm>
#include <filesystem>

#include "app/AppController.h"
#include "base/FileUrl.h"
#include "base/Format.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/FileManager.h"
#include "platform/Platform.h"
#include "platform/SoundPackInstaller.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "platform/UserThemeFolder.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"
#include "support/LoginItems.h"

namespace plinka {

namespace {}  // namespace

void AppController::previewTheme() {
    sounds_.playSoundForKeyCode(SoundTheme::kSampleKeyCode, 1);
}

bool AppController::canRemoveTheme(const std::string& name) const {
    return sounds_.userThemeFilePath(name).has_value();
}

void AppController::removeTheme(const std::string& name) {
    const std::optional<std::string> path = sounds_.userThemeFilePath(name);
    if (!path) {
        return;  // the bundle's themes stay
    }
    Alert question;
    question.messageText = stringWithFormat("Remove the theme \u201C%@\u201D?", {name});
    question.informativeText = "Its file goes to the Trash, from where you can put it back.";
    question.defaultButton = "Remove";
    question.alternateButton = "Cancel";
    question.alternateButtonKeyEquivalent = "\033";
    if (desktop_.alerts.runModal(question) != NSAlertDefaultReturn) {
        return;
    }
    if (!desktop_.files.recycleFiles(FileUrl::deletingLastPathComponent(*path),
                                     {FileUrl::lastPathComponent(*path)})) {
        Alert failed;
        failed.messageText =
            stringWithFormat("The theme \u201C%@\u201D could not be removed.", {name});
        failed.informativeText = stringWithFormat("%@ could not be moved to the Trash.", {*path});
        failed.defaultButton = "OK";
        desktop_.alerts.runModal(failed);
        return;
    }
    if (sounds_.currentThemeName() == name) {
        _setSoundThemeByName(std::string(SoundController::kOffName));  // as for a missing theme
    } else {
        announce("themeFiles");  // the window's list; scripts read "themes" afresh
    }
}

void AppController::openThemesFolder() {
    const std::optional<std::string> folder = platform_.userThemes.folderPath();
    if (!folder) {
        platform_.log.log("There is no folder for your themes: set HOME or XDG_DATA_HOME");
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(*folder, error);  // a file manager opens no missing folder
    desktop_.urls.openURL(FileUrl::fileURLWithPath(*folder));
}

void AppController::importSoundPack(const std::string& pack, bool splitRelease) {
    const bool started = desktop_.soundPacks.install(
        pack, {.splitRelease = splitRelease}, [this, pack](SoundPackInstaller::Result installed) {
            importing_ = false;
            announce("importing");
            if (!installed.name) {
                Alert alert;
                alert.messageText = "The sound pack could not be imported.";
                alert.informativeText = installed.failure + ".";
                alert.defaultButton = "OK";
                desktop_.alerts.runModal(alert);
                return;
            }
            for (const auto& warning : installed.warnings) {
                platform_.log.log("Sound pack " + FileUrl::lastPathComponent(pack) + ": " +
                                  warning);
            }
            _setSoundThemeByName(*installed.name);
        });
    if (started) {
        importing_ = true;
        announce("importing");
    }
}

void AppController::cancelSoundPackImport() {
    if (importing_) {
        desktop_.soundPacks.cancel();
        importing_ = false;
        announce("importing");
    }
}

std::optional<std::string> AppController::setMuteShortcut(const std::optional<KeyChord>& chord) {
    return muteShortcut_.setChord(chord);
}

bool AppController::boolPreference(const std::string& key) const {
    return desktop_.defaults.boolForKey(key);
}

void AppController::setBoolPreference(const std::string& key, bool value) {
    desktop_.defaults.setBool(value, key);
}

bool AppController::startsAtLogin() const {
    return desktop_.loginItems.isLoginItem(platform_.mainBundle);
}

// The user's choice once made; until then the theme's own.
int AppController::pitchVariation() const {
    if (desktop_.defaults.objectForKey("pitchVariation").isNil()) {
        return sounds_.currentTheme().pitchVariation();
    }
    return static_cast<int>(std::clamp<int64_t>(desktop_.defaults.integerForKey("pitchVariation"),
                                                0, SoundTheme::kMaxPitchVariation));
}

void AppController::setPitchVariation(int cents) {
    desktop_.defaults.setObject(
        Object::integer(std::clamp(cents, 0, SoundTheme::kMaxPitchVariation)), "pitchVariation");
}

void AppController::addPreferencesObserver(std::function<void()> observer) {
    preferencesObservers_.push_back(std::move(observer));
}

void AppController::observePreferences() {
    for (const char* key : {"showInMenuBar", "SUEnableAutomaticChecks", "playMouseSounds",
                            "stereoPosition", "pitchVariation"}) {
        desktop_.defaults.addObserver(key, [this, key] { announce(key); });
    }
}

}  // namespace plinka
