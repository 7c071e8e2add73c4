#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyNames.h"

namespace plinka {

// What the Preferences window shows and what its controls ask for, answered by the application's
// delegate on the main thread. The window reads everything afresh when an observer is called.
class PreferencesDelegate {
  public:
    virtual ~PreferencesDelegate() = default;

    // The theme names in menu order, and the one in force.
    virtual std::vector<std::string> themes() const = 0;
    virtual std::optional<std::string> theme() const = 0;
    // Switches as choosing the theme from the menu does: saved, its sample played.
    virtual void setTheme(const std::string& name) = 0;
    // Plays the sample of the theme in force.
    virtual void previewTheme() = 0;
    // Whether the theme is one of the user's own, which may be removed.
    virtual bool canRemoveTheme(const std::string& name) const = 0;
    // Asks the person, then moves the user's theme file to the Trash.
    virtual void removeTheme(const std::string& name) = 0;
    // Opens the folder of the user's own themes in the file manager.
    virtual void openThemesFolder() = 0;
    // Imports the pack (a folder or a zip) in the background and switches to it; one at a time.
    // With splitRelease, keys without a release sound get the second half of their sound on
    // release.
    virtual void importSoundPack(const std::string& pack, bool splitRelease) = 0;
    virtual void cancelSoundPackImport() = 0;
    virtual bool isImportingSoundPack() const = 0;

    // The volume of every sound and spoken word, 0.0 to 1.0, and the mute switch.
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    virtual bool muted() const = 0;
    virtual void setMuted(bool muted) = 0;
    // The mute shortcut as text ("Ctrl+Alt+M"), empty when there is none.
    virtual std::string muteShortcut() const = 0;
    // Makes the chord the mute shortcut, or with nullopt turns it off; a refusal says why.
    virtual std::optional<std::string> setMuteShortcut(const std::optional<KeyChord>& chord) = 0;
    // While the window records a shortcut the mute shortcut does not act: the keys pressed are
    // the recorder's, whichever of the two hears them first.
    virtual void setRecordingShortcut(bool recording) = 0;

    // A Boolean preference ("showInMenuBar", "playMouseSounds", ...) and the actions that change
    // the three whose change does more than store it.
    virtual bool boolPreference(const std::string& key) const = 0;
    virtual void setBoolPreference(const std::string& key, bool value) = 0;
    virtual void toggleShowMenuBarIcon() = 0;
    virtual void toggleCheckForUpdates() = 0;
    // `senderState` is the state the control showed before the click.
    virtual void toggleStartAtLogin(int senderState) = 0;
    virtual bool startsAtLogin() const = 0;
    virtual void showLoginItems() = 0;
    // The pitch variation in force, in cents (the user's, else the theme's), and the user's own.
    virtual int pitchVariation() const = 0;
    virtual void setPitchVariation(int cents) = 0;

    // Calls the observer each time something the window shows may have changed.
    virtual void addPreferencesObserver(std::function<void()> observer) = 0;
};

}  // namespace plinka
