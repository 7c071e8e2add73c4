#pragma once

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace plinka {

// The preferences window of the main interface file (a Qt Designer file in the bundle's
// resources, built by loadUiFile). Its controls send the controller's preference actions and show
// the current state each time the window opens. A button is an Actions member and a line in the
// .cpp's list of buttons.
class PreferencesWindow {
  public:
    struct Actions {
        std::function<void()> toggleShowMenuBarIcon;
        std::function<void()> toggleCheckForUpdates;
        std::function<void(int senderState)> toggleStartAtLogin;
        std::function<void()> showLoginItems;   // loginItemsButton
        std::function<void()> importSoundPack;  // importSoundPackButton
        std::function<bool()> showsMenuBarIcon;
        std::function<bool()> checksForUpdates;
        std::function<bool()> startsAtLogin;
    };

    // Loads the file; null, with the reason in `error`, when it can't be loaded or lacks a control.
    static std::unique_ptr<PreferencesWindow> load(const std::string& path, Actions actions,
                                                   std::string* error);
    ~PreferencesWindow();
    PreferencesWindow(const PreferencesWindow&) = delete;
    PreferencesWindow& operator=(const PreferencesWindow&) = delete;

    // Shows the window in front with the controls' current state.
    void show();
    QWidget& window() { return *window_; }

    struct Loaded {
        explicit Loaded() = default;
    };
    PreferencesWindow(Loaded, std::unique_ptr<QWidget> window, Actions actions);

  private:
    void refresh();

    std::unique_ptr<QWidget> window_;
    Actions actions_;
};

}  // namespace plinka
