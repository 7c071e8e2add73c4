#pragma once

#include <memory>
#include <string>

class QWidget;

namespace plinka {

class Bundle;
class PreferencesDelegate;

// The Preferences window: the themes (switch, preview, import a sound pack, remove the user's
// own, open their folder), volume, mute and the mute shortcut, the sound options and the
// application's settings. Laid out in code, resizable and keyboard navigable; every control
// asks the delegate, and the window shows afresh whatever the delegate announces.
class PreferencesWindow {
  public:
    PreferencesWindow(PreferencesDelegate& delegate, const Bundle& bundle);
    ~PreferencesWindow();
    PreferencesWindow(const PreferencesWindow&) = delete;
    PreferencesWindow& operator=(const PreferencesWindow&) = delete;

    // Shows the window in front with the current state.
    void show();
    // A sentence above everything else; empty hides it.
    void setNotice(const std::string& notice);
    QWidget& window();

  private:
    class Window;
    std::unique_ptr<Window> window_;
};

}  // namespace plinka
