#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/DirectoryBundle.h"
#include "platform/linux/LogindSleepWakeNotifications.h"
#include "platform/linux/PosixTemporaryFiles.h"
#include "platform/linux/QtRunLoop.h"
#include "platform/linux/SystemLog.h"
#include "platform/linux/XdgUserThemeFolder.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/plist/PlistKeyedArchives.h"

namespace plinka {

LinuxPlatform::LinuxPlatform(const Options& options)
    : log_(std::make_unique<SystemLog>(options.processName)),
      runLoop_(std::make_unique<QtRunLoop>()) {
    std::optional<std::string> bundlePath = options.bundlePath;
    if (!bundlePath) {
        bundlePath = DirectoryBundle::locateMainBundle();
    }
    hasBundle_ = bundlePath.has_value();
    bundle_ = std::make_unique<DirectoryBundle>(bundlePath.value_or(""));
    archives_ = std::make_unique<PlistKeyedArchives>();
    audioEngine_ = options.offlineAudio ? AudioEngine::offline(options.audio)
                                        : AudioEngine::openDevice(options.audio, *log_);
    systemSounds_ = std::make_unique<MixerSystemSoundService>(*audioEngine_);
    speech_ = std::make_unique<EspeakSpeechService>(*audioEngine_, *log_);
    sleepWake_ = std::make_unique<LogindSleepWakeNotifications>(*log_);
    temporaryFiles_ = std::make_unique<PosixTemporaryFiles>();
    random_ = std::make_unique<Arc4Random>();
    userThemes_ = std::make_unique<XdgUserThemeFolder>();
    platform_ = std::make_unique<Platform>(Platform{*runLoop_, *log_, *bundle_, *archives_,
                                                    *systemSounds_, *speech_, *sleepWake_,
                                                    *temporaryFiles_, *random_, *userThemes_});
}

LinuxPlatform::~LinuxPlatform() = default;

}  // namespace plinka
