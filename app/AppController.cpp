#include "app/AppController.h"

#include <algorithm>
#include <cctype>

#include "base/Format.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "platform/StatusBar.h"
#include "platform/SystemSettings.h"
#include "platform/UserDefaults.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"

namespace plinka {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void AppController::initialize(Platform& platform, DesktopServices& desktop) {
    const auto path = platform.mainBundle.pathForResource("Defaults", "plist");
    const Object defaults = path ? desktop.settings.dictionaryWithContentsOfFile(*path) : Object();
    const Object::Dictionary* entries = defaults.dictionaryValue();
    if (entries == nullptr) {
        return;  // nothing registered, not even the updater keys
    }
    Object::Dictionary registered;
    for (const auto& entry : *entries) {
        const std::string* key = entry.first.stringValue();
        if (key == nullptr || (*key != "SUEnableAutomaticChecks" && *key != "SUSendProfileInfo")) {
            registered.push_back(entry);
        }
    }
    registered.emplace_back(Object::string("SUEnableAutomaticChecks"), Object::boolean(true));
    registered.emplace_back(Object::string("SUSendProfileInfo"), Object::boolean(true));
    desktop.defaults.registerDefaults(Object::dictionary(std::move(registered)));
}

AppController::AppController(Platform& platform, DesktopServices& desktop, SoundController& sounds)
    : platform_(platform),
      desktop_(desktop),
      sounds_(sounds),
      volume_(
          desktop.defaults, platform.systemSounds, platform.log,
          [this] { sounds_.playSoundForKeyCode(SoundTheme::kSampleKeyCode, 1); },
          [this](const std::string& key) { announce(key); }),
      muteShortcut_(desktop.defaults, desktop.keyNames, platform.log,
                    [this] { announce("muteShortcut"); }),
      keyCapture_(
          platform.runLoop, platform.log, desktop.eventTaps,
          [this](int32_t keyCode, int state) { state == 1 ? _keyDown(keyCode) : _keyUp(keyCode); },
          [this](int32_t button, int state) { state == 1 ? _mouseDown(button) : _mouseUp(button); },
          [this](const std::string& message) { _quitWithError(message); }) {
    observePreferences();
}

AppController::~AppController() = default;

void AppController::awakeFromNib() {
    _checkForDuplicateProcesses();
    statusItemMenu_.reset();
    _updateStatusItem();
    sounds_.setThemeByName(desktop_.defaults.stringForKey("soundTheme"));
    desktop_.defaults.addObserver("showInMenuBar",
                                  [this] { observeValueForKeyPath("showInMenuBar"); });
    _readPlayMouseSounds();
    desktop_.defaults.addObserver("playMouseSounds", [this] { _readPlayMouseSounds(); });
}

// Once the run is ending (a copy that handed over, the permission dialog answered, an alert the
// session's end closed unanswered) no later step runs: an alert shown then would close unseen,
// and nothing may act on what nobody chose.
void AppController::applicationDidFinishLaunching() {
    const auto ending = [this] {
        return terminationRequested_ || !desktop_.alerts.lastAlertAnswered();
    };
    if (ending()) {
        return;
    }
    _checkUniversalAccess(nullptr);
    if (ending()) {
        return;
    }
    const bool crashReportsOffered = desktop_.chores.crashReporterCheck();
    if (ending()) {
        return;
    }
    const bool moveOffered = desktop_.chores.offerMoveToApplicationsFolder();
    if (ending()) {
        return;
    }
    if (!crashReportsOffered || !moveOffered) {
        desktop_.chores.feedbackSharedInstance();
        if (desktop_.defaults.boolForKey("SUEnableAutomaticChecks")) {
            desktop_.chores.checkForUpdateInformation();
        }
    }
    detachEventTapThread();
    accessTimer_ = platform_.runLoop.scheduleTimer(
        kAccessCheckInterval, true, [this](Timer& timer) { _checkUniversalAccess(&timer); });
}

void AppController::applicationWillTerminate() {
    if (statusItem_) {
        desktop_.statusBar.removeStatusItem(*statusItem_);
    }
}

bool AppController::applicationShouldHandleReopen(bool /*hasVisibleWindows*/) {
    if (statusItem_) {
        statusItem_->popUpStatusItemMenu(statusItem_->menu());
    }
    return true;
}

std::optional<std::string> AppController::_bundleIDForApplicationPSN(ProcessSerialNumber psn) {
    const Object information = desktop_.processes.processInformationCopyDictionary(psn);
    if (const std::string* identifier =
            information.objectForKey("CFBundleIdentifier").stringValue()) {
        return *identifier;
    }
    return std::nullopt;
}

void AppController::_checkForDuplicateProcesses() {
    const std::string processName = desktop_.processes.processName();
    const std::optional<std::string> identifier = platform_.mainBundle.bundleIdentifier();
    ProcessSerialNumber psn = kNoProcess;
    while (desktop_.processes.getNextProcess(&psn) == kProcessNoErr) {
        bool same = false;
        if (desktop_.processes.sameProcess(psn, kCurrentProcess, &same) == kProcessNoErr && same) {
            continue;
        }
        const std::optional<std::string> other = _bundleIDForApplicationPSN(psn);
        if (!other || !identifier || !equalIgnoringCase(*other, *identifier)) {
            continue;
        }
        // Of two copies started together, only the later one yields.
        if (!desktop_.processes.startedEarlier(psn)) {
            continue;
        }
        platform_.log.log(stringWithFormat(
            "Found another %@ process; sent 'reopen' and will quit instead.", {processName}));
        desktop_.processes.sendReopenEvent(psn);
        terminationRequested_ = true;
        platform_.runLoop.performOnMainThread([this] { desktop_.application.terminate(); });
        return;
    }
}

void AppController::_keyDown(int32_t keyCode) {
    if (muteShortcut_.keyDown(keyCode)) {
        toggleMuted();
        return;
    }
    sounds_.playSoundForKeyCode(keyCode, 1);
}

void AppController::_keyUp(int32_t keyCode) {
    if (muteShortcut_.keyUp(keyCode)) {
        return;
    }
    sounds_.playSoundForKeyCode(keyCode, 0);
}

void AppController::_mouseDown(int32_t button) {
    if (playMouseSounds_) {
        sounds_.playSoundForMouseButton(button, 1);
    }
}

void AppController::_mouseUp(int32_t button) {
    if (playMouseSounds_) {
        sounds_.playSoundForMouseButton(button, 0);
    }
}

void AppController::_readPlayMouseSounds() {
    const Object value = desktop_.defaults.objectForKey("playMouseSounds");
    // Command-line values are strings ("NO"); numbers and Booleans are what the stores hold.
    const bool readable = value.booleanValue() || value.integerValue() || value.realValue() ||
                          value.stringValue() != nullptr;
    if (!readable && value) {
        platform_.log.log(stringWithFormat(
            "The preference playMouseSounds is no Boolean (%@): mouse buttons sound",
            {value.className()}));
    }
    playMouseSounds_ = !readable || UserDefaults::boolFromObject(value);
}

// The alert needs the main thread's event loop: beep, alert and termination run there, in order.
void AppController::_quitWithError(const std::string& message) {
    auto quit = [this, message] {
        // Without the permission to read keys the tap fails too; the permission dialog has
        // already told the user, and the application is ending.
        if (!terminationRequested_) {
            desktop_.application.beep();
            Alert alert;
            alert.messageText = "Plinka Error";
            alert.defaultButton = "Quit";
            alert.alternateButton = "";
            alert.informativeText = stringWithFormat("%@", {message});
            alert.style = AlertStyle::Critical;
            desktop_.alerts.runModal(alert);
        }
        desktop_.application.terminate();
    };
    if (platform_.runLoop.isMainThread()) {
        quit();
    } else {
        platform_.runLoop.performOnMainThread(std::move(quit));
    }
}

}  // namespace plinka
