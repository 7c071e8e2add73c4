#include "tools/theme/ToolPlatform.h"

#include <filesystem>

#include "platform/linux/DirectoryBundle.h"
#include "platform/linux/XdgUserThemeFolder.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/plist/PlistKeyedArchives.h"

namespace plinka::themetool {

ToolPlatform::ToolPlatform(const Options& options) : random_(options.randomSeed) {
    std::optional<std::string> bundlePath = options.bundlePath;
    if (bundlePath) {
        // Resources are handed on as file URLs, which need absolute paths.
        auto absolute = std::filesystem::absolute(*bundlePath).lexically_normal();
        bundlePath = (absolute.has_filename() ? absolute : absolute.parent_path()).string();
    } else {
        bundlePath = DirectoryBundle::locateMainBundle();
    }
    hasBundle_ = bundlePath.has_value();
    bundle_ = std::make_unique<DirectoryBundle>(bundlePath.value_or(""));
    themeBundle_ = std::make_unique<ThemeFileBundle>(*bundle_);
    archives_ = std::make_unique<PlistKeyedArchives>();
    userThemes_ = std::make_unique<XdgUserThemeFolder>();
    audioEngine_ = AudioEngine::offline(AudioOptions{});
    systemSounds_ = std::make_unique<MixerSystemSoundService>(*audioEngine_);
    if (options.speech) {
        espeak_ = std::make_unique<EspeakSpeechService>(*audioEngine_, log_);
        if (!espeak_->isAvailable()) {
            espeak_.reset();
        }
    }
    SpeechService& speech = espeak_ ? static_cast<SpeechService&>(*espeak_) : noSpeech_;
    platform_ = std::make_unique<Platform>(Platform{runLoop_, log_, *themeBundle_, *archives_,
                                                    *systemSounds_, speech, sleepWake_,
                                                    temporaryFiles_, random_, *userThemes_});
}

ToolPlatform::~ToolPlatform() = default;

}  // namespace plinka::themetool
