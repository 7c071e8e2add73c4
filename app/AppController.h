#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MuteShortcut.h"
#include "app/VolumeControl.h"
#include "platform/ApplicationScripting.h"
#include "platform/EventTap.h"
#include "platform/PreferencesDelegate.h"
#include "platform/ProcessManager.h"
#include "sound/KeyCapture.h"
#include "support/SUUpdater.h"

namespace plinka {

class AlertPresenter;
class Application;
class Bundle;
class FileManager;
class KeyNames;
class LoginItems;
class Menu;
class PLKAdditions;
class SoundController;
class SoundPackInstaller;
class StatusBar;
class StatusItem;
class SystemSettings;
class Timer;
class UniversalAccess;
class UrlOpener;
class UserDefaults;
struct Alert;
struct MenuItem;
struct Platform;

// The launch chores whose owners come later, each with what stands in for it meanwhile.
struct LaunchChores {
    // Offers the crash reports of earlier runs; true when it showed its dialog.
    std::function<bool()> crashReporterCheck = [] { return false; };
    // The move into the applications folder; true when it showed its alert.
    std::function<bool()> offerMoveToApplicationsFolder = [] { return false; };
    // The feedback prompt, made (and perhaps shown) on first use.
    std::function<void()> feedbackSharedInstance = [] {};
    // A background update check.
    std::function<void()> checkForUpdateInformation = [] {};
};

// The desktop services the application controller needs beyond the sound engine's.
struct DesktopServices {
    EventTapService& eventTaps;
    UniversalAccess& access;
    AlertPresenter& alerts;
    Application& application;
    StatusBar& statusBar;
    UserDefaults& defaults;
    ProcessManager& processes;
    UrlOpener& urls;
    SystemSettings& settings;
    LoginItems& loginItems;
    PLKAdditions& information;
    LaunchChores& chores;
    FileManager& files;
    const KeyNames& keyNames;
    SoundPackInstaller& soundPacks;
};

// The application's delegate: launch and lifecycle, the status item and its menu, the
// preference actions and the Preferences window's, the permission to read every key, the key
// capture's hand-over to the sounds (and the mute key in it), the scripting keys and the
// updater's delegate.
class AppController final : public ScriptingDelegate,
                            public SUUpdaterDelegate,
                            public PreferencesDelegate {
  public:
    static constexpr double kShownLength = 26.0;
    static constexpr double kHiddenLength = 1.0;
    static constexpr double kAccessCheckInterval = 30.0;

    // Registers the defaults: the bundle's "Defaults.plist" with the two updater keys forced on.
    static void initialize(Platform& platform, DesktopServices& desktop);

    AppController(Platform& platform, DesktopServices& desktop, SoundController& sounds);
    ~AppController() override;
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // Launch and lifecycle.
    void awakeFromNib();
    // Runs no further step once the run is ending (see terminationRequested, and an alert that
    // closed unanswered).
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // Whether this run is ending: it handed over to another copy or the permission dialog ended
    // it. Nothing more is started or shown.
    bool terminationRequested() const { return terminationRequested_; }
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    std::optional<std::string> _bundleIDForApplicationPSN(ProcessSerialNumber psn);
    void _checkForDuplicateProcesses();

    // The status item and its menu.
    void _updateStatusItem();
    void _rebuildStatusItemMenu();
    void menuWillOpen(Menu& menu);
    void observeValueForKeyPath(const std::string& keyPath);
    void showAbout();
    void showHelp();
    void soundSelectionChanged(const MenuItem* sender);
    void _setSoundThemeByName(const std::optional<std::string>& name);

    // The preference actions of the interface's controls; `senderState` is the control's state.
    void toggleShowMenuBarIcon() override;
    void toggleCheckForUpdates() override;
    void toggleStartAtLogin(int senderState) override;
    void showLoginItems() override;
    void _showLoginItems();

    // Scripting: "theme", "themes", "volume" and "muted" are the delegate's.
    bool applicationDelegateHandlesKey(Application& application, const std::string& key) override;
    std::optional<std::string> theme() const override;
    void setTheme(const std::string& name) override;
    std::vector<std::string> themes() const override;
    double volume() const override { return volume_.volume(); }
    void setVolume(double volume) override { volume_.setVolume(volume); }
    bool muted() const override { return volume_.muted(); }
    void setMuted(bool muted) override { volume_.setMuted(muted); }
    void addScriptingObserver(KeyObserver observer) override;

    // The Preferences window's requests beyond the preference actions and scripting keys.
    void previewTheme() override;
    bool canRemoveTheme(const std::string& name) const override;
    void removeTheme(const std::string& name) override;
    void openThemesFolder() override;
    void importSoundPack(const std::string& pack, bool splitRelease) override;
    void cancelSoundPackImport() override;
    bool isImportingSoundPack() const override { return importing_; }
    std::string muteShortcut() const override { return muteShortcut_.text(); }
    std::optional<std::string> setMuteShortcut(const std::optional<KeyChord>& chord) override;
    void setRecordingShortcut(bool recording) override { muteShortcut_.setSuspended(recording); }
    bool boolPreference(const std::string& key) const override;
    void setBoolPreference(const std::string& key, bool value) override;
    bool startsAtLogin() const override;
    int pitchVariation() const override;
    void setPitchVariation(int cents) override;
    void addPreferencesObserver(std::function<void()> observer) override;
    // The mute switch as the mute key flips it.
    void toggleMuted() { volume_.toggleMuted(); }

    // The updater's delegate: never a permission prompt, outcomes ignored, and the machine
    // identifier and saved theme sent along with the system profile.
    bool updaterShouldPromptForPermissionToCheckForUpdates(SUUpdater& updater) override;
    std::vector<FeedParameter> feedParametersForUpdater(SUUpdater& updater,
                                                        bool sendingSystemProfile) override;
    void updaterDidFindValidUpdate(SUUpdater& updater, const SUAppcastItem& update) override;
    void updaterDidNotFindUpdate(SUUpdater& updater) override;

    // The permission to read every key. The test runs at launch (no timer) and on the 30-second
    // timer (which it stops when the permission is gone); without the permission it shows the
    // dialog, which ends the application whatever the answer.
    void _checkUniversalAccess(Timer* timer);
    void _showUniversalAccessDialog();
    // The dialog's help button: opens the alert's help anchor; the dialog stays.
    bool alertShowHelp(const Alert& alert);

    StatusItem* statusItem() const { return statusItem_.get(); }
    const std::shared_ptr<Menu>& statusItemMenu() const { return statusItemMenu_; }

    // Key capture, which KeyCapture does: starts the tap thread with _createEventTap as its entry.
    void detachEventTapThread() { keyCapture_.detachEventTapThread(); }
    // The tap thread's entry: creates the tap and runs the thread's loop for the process's life.
    void _createEventTap() { keyCapture_._createEventTap(); }
    // Ends the tap thread's loop and joins it (orderly shutdown and tests).
    void stopEventTapThread() { keyCapture_.stopEventTapThread(); }
    // Main thread: the key went down (state 1) or up (state 0).
    void _keyDown(int32_t keyCode);
    void _keyUp(int32_t keyCode);
    // Main thread: the mouse button went down or up; silent when "playMouseSounds" is off.
    void _mouseDown(int32_t button);
    void _mouseUp(int32_t button);
    // Shows the fatal error and ends the application; callable from any thread.
    void _quitWithError(const std::string& message);

  private:
    // The page's URL on the help site named by the bundle.
    std::string helpPageURL(std::string_view path) const;
    // Tells scripts (for their keys) and the Preferences window that the key's value changed.
    void announce(const std::string& key);
    // Announces the changes of the preferences the window shows that only need storing.
    void observePreferences();
    // Takes "playMouseSounds" in: on unless turned off; a value no Boolean reads is refused.
    void _readPlayMouseSounds();

    Platform& platform_;
    DesktopServices& desktop_;
    SoundController& sounds_;
    std::unique_ptr<StatusItem> statusItem_;
    std::shared_ptr<Menu> statusItemMenu_;
    std::unique_ptr<Timer> accessTimer_;
    std::vector<KeyObserver> scriptingObservers_;
    std::vector<std::function<void()>> preferencesObservers_;
    VolumeControl volume_;
    MuteShortcut muteShortcut_;
    bool importing_ = false;
    // Set once the hand-over or the permission dialog has asked for the end.
    bool terminationRequested_ = false;
    bool playMouseSounds_ = true;
    KeyCapture keyCapture_;  // last: its thread goes first
};

}  // namespace plinka
