#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace plinka {

class AudioKeepAlive;
class SoundTheme;
struct Platform;

// The single owner of the theme in force: lists the themes, switches them by name and forwards
// every key and mouse button event to the current one.
class SoundController {
  public:
    // The theme that plays nothing, which stands in when a theme cannot be loaded.
    static constexpr std::string_view kOffName = "Off";

    // The process's controller, made once on first use with the shared platform.
    static SoundController& sharedInstance();

    // Installs an "Off" theme; the keep-alive is not touched.
    SoundController(Platform& platform, AudioKeepAlive& keepAlive);
    ~SoundController();
    SoundController(const SoundController&) = delete;
    SoundController& operator=(const SoundController&) = delete;

    // "Off" first, then the theme files' names in the bundle's order, then the user's own.
    std::vector<std::string> themeNames() const;
    const std::optional<std::string>& currentThemeName() const { return name; }
    // The file of the user's own theme of that name; nullopt for "Off" and the bundle's themes.
    std::optional<std::string> userThemeFilePath(const std::string& themeName) const;
    // True when the name was already current or its file loaded; false when "Off" stands in.
    bool setThemeByName(const std::optional<std::string>& themeName);
    // Hands the event to the current theme unchanged.
    void playSoundForKeyCode(int keyCode, int state);
    // Hands the mouse button event (button 0 left, 1 right, 2 middle) to the current theme.
    void playSoundForMouseButton(int button, int state);
    // The user's preferences over every theme's own, kept for the themes to come: stereo position
    // by key (off wins over a theme), and the pitch variation in cents (nullopt: each theme's).
    void setPlaybackPreferences(bool stereoPosition, std::optional<int> pitchVariation);

    SoundTheme& currentTheme() const { return *theme; }

  private:
    struct UserTheme {
        std::string name;
        std::string path;
    };
    // The user's theme files by file name, less those whose name "Off" or a bundle theme
    // already bears (each such clash logged once).
    std::vector<UserTheme> userThemes() const;
    // The file of the theme of that name: the bundle's, else the user's; without a name, the
    // first theme file.
    std::optional<std::string> themeFilePath(const std::optional<std::string>& themeName) const;

    Platform& platform_;
    AudioKeepAlive& keepAlive_;
    std::shared_ptr<SoundTheme> theme;
    std::optional<std::string> name;
    mutable std::set<std::string> reportedClashes_;
    bool stereoPosition_ = true;
    std::optional<int> pitchVariation_;
};

}  // namespace plinka
