#include "sound/SoundController.h"

#include "base/FileUrl.h"
#include "base/Log.h"
#include "platform/Bundle.h"
#include "platform/KeyedArchive.h"
#include "platform/Platform.h"
#include "platform/UserThemeFolder.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundTheme.h"
#include "sound/ThemeClasses.h"
#include "sound/ThemeTableProblems.h"

namespace plinka {

namespace {
constexpr std::string_view kThemeType = "plnk";
constexpr std::string_view kThemeDirectory = "KeySoundThemes";
}  // namespace

SoundController& SoundController::sharedInstance() {
    static SoundController controller(Platform::shared(), AudioKeepAlive::sharedInstance());
    return controller;
}

SoundController::SoundController(Platform& platform, AudioKeepAlive& keepAlive)
    : platform_(platform),
      keepAlive_(keepAlive),
      theme(SoundTheme::init(platform)),
      name(theme->name()) {}

SoundController::~SoundController() = default;

std::vector<std::string> SoundController::themeNames() const {
    std::vector<std::string> names{std::string(kOffName)};
    for (const auto& path :
         platform_.mainBundle.pathsForResourcesOfType(kThemeType, kThemeDirectory)) {
        names.push_back(FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(path)));
    }
    for (const auto& user : userThemes()) {
        names.push_back(user.name);
    }
    return names;
}

std::vector<SoundController::UserTheme> SoundController::userThemes() const {
    std::set<std::string> taken{std::string(kOffName)};
    for (const auto& path :
         platform_.mainBundle.pathsForResourcesOfType(kThemeType, kThemeDirectory)) {
        taken.insert(FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(path)));
    }
    std::vector<UserTheme> themes;
    for (auto& path : platform_.userThemes.themeFilePaths()) {
        auto themeName = FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(path));
        if (!taken.contains(themeName)) {
            themes.push_back({std::move(themeName), std::move(path)});
        } else if (reportedClashes_.insert(path).second) {
            platform_.log.log("Skipping the theme " + path +
                              ": the application has a theme named " + themeName);
        }
    }
    return themes;
}

std::optional<std::string> SoundController::themeFilePath(
    const std::optional<std::string>& themeName) const {
    if (auto path = platform_.mainBundle.pathForResource(themeName, kThemeType, kThemeDirectory)) {
        return path;
    }
    for (auto& user : userThemes()) {
        if (!themeName || user.name == *themeName) {
            return std::move(user.path);
        }
    }
    return std::nullopt;
}

std::optional<std::string> SoundController::userThemeFilePath(const std::string& themeName) const {
    for (auto& user : userThemes()) {
        if (user.name == themeName) {
            return std::move(user.path);
        }
    }
    return std::nullopt;
}

bool SoundController::setThemeByName(const std::optional<std::string>& themeName) {
    if (name && themeName && *name == *themeName) {
        return true;
    }
    // The old theme goes first: a failed load below never brings it back.
    theme.reset();
    if (const auto path = themeFilePath(themeName)) {
        const Object root =
            platform_.archives.unarchiveObjectWithFile(*path, themeClasses(platform_));
        if (root.as<SoundTheme>() != nullptr) {
            theme = std::static_pointer_cast<SoundTheme>(*root.instanceValue());
            if (const auto problems = themeTableProblems(theme->sounds())) {
                platform_.log.log("The theme " + *path + " leaves keys silent: " + *problems);
            }
        }
    }
    bool result = true;
    // A missing file, a damaged one and one whose root isn't a theme all fall back alike.
    if (!theme) {
        theme = SoundTheme::init(platform_);
        result = false;
    }
    theme->applyPreferences(stereoPosition_, pitchVariation_);
    name = theme->name();
    if (name == kOffName) {
        keepAlive_.stop();
    } else {
        keepAlive_.start();
    }
    return result;
}

void SoundController::playSoundForKeyCode(int keyCode, int state) {
    theme->playSoundForKeyCode(keyCode, state);
}

void SoundController::playSoundForMouseButton(int button, int state) {
    theme->playSoundForMouseButton(button, state);
}

void SoundController::setPlaybackPreferences(bool stereoPosition,
                                             std::optional<int> pitchVariation) {
    stereoPosition_ = stereoPosition;
    pitchVariation_ = pitchVariation;
    theme->applyPreferences(stereoPosition, pitchVariation);
}

}  // namespace plinka
