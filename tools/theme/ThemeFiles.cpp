#include "tools/theme/ThemeFiles.h"

#include <filesystem>

#include "base/FileUrl.h"
#include "platform/Bundle.h"
#include "platform/KeyedArchive.h"
#include "platform/Platform.h"
#include "platform/UserThemeFolder.h"
#include "sound/SoundTheme.h"
#include "sound/ThemeClasses.h"
#include "tools/theme/RegularFile.h"

namespace plinka::themetool {

std::optional<std::string> resolveThemeFile(const std::string& fileOrName, Platform& platform,
                                            std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(fileOrName, ignored)) {
        return fileOrName;
    }
    const bool looksLikePath =
        fileOrName.find('/') != std::string::npos || fileOrName.ends_with(".plnk");
    if (!looksLikePath) {
        if (auto path = platform.mainBundle.pathForResource(fileOrName, "plnk", "KeySoundThemes")) {
            return path;
        }
        for (const auto& path : platform.userThemes.themeFilePaths()) {
            if (FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(path)) ==
                fileOrName) {
                return path;
            }
        }
        const std::string bundle = platform.mainBundle.bundlePath();
        error = "no theme named \"" + fileOrName + "\" " +
                (bundle.empty() ? "(no bundle found: give --bundle DIR)"
                                : "in " + bundle + " (see plinka-theme list)");
        return std::nullopt;
    }
    error = fileOrName + ": " + whyNotARegularFile(fileOrName).value_or("no such file");
    return std::nullopt;
}

std::shared_ptr<SoundTheme> loadThemeFile(const std::string& path, Platform& platform,
                                          std::string& error, size_t* unloadedSounds) {
    if (const auto problem = whyNotARegularFile(path)) {
        error = path + ": " + *problem;
        return nullptr;
    }
    ClassTable classes = themeClasses(platform);
    size_t unloaded = 0;
    classes["Sound"] = [&unloaded, makeSound = classes.at("Sound")](Decoder& coder) {
        Object sound = makeSound(coder);
        unloaded += sound.isNil() ? 1 : 0;
        return sound;
    };
    std::string reason;
    const Object root = platform.archives.unarchiveObjectWithFile(path, classes, &reason);
    if (unloadedSounds) {
        *unloadedSounds = unloaded;
    }
    if (!root) {
        error = path + ": not a keyed archive" + (reason.empty() ? "" : " (" + reason + ")");
        return nullptr;
    }
    const auto* instance = root.instanceValue();
    if (root.as<SoundTheme>() == nullptr || instance == nullptr) {
        error = path + ": not a theme (its root object is " + std::string(root.className()) + ")";
        return nullptr;
    }
    return std::static_pointer_cast<SoundTheme>(*instance);
}

}  // namespace plinka::themetool
