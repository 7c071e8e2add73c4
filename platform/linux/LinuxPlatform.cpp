#include "platform/linux/LinuxPlatform.h"

#include "base/Log.h"
#include "platform/RunLoop.h"
#include "platform/linux/DirectoryBundle.h"
#include "platform/linux/LogindSleepWakeNotifications.h"
#include "platform/linux/QtRunLoop.h"
#include "platform/linux/SystemLog.h"
#include "platform/linux/XdgUserThemeFolder.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/SdlOutputModule.h"
#include "platform/linux/audio/ServerOutputModules.h"
#include "platform/linux/audio/SpeechModule.h"
#include "platform/linux/headless/HeadlessRunLoop.h"
#include "platform/linux/headless/HeadlessServices.h"
#include "platform/linux/headless/PosixTemporaryFiles.h"
#include "platform/linux/plist/PlistKeyedArchives.h"

namespace plinka {

LinuxPlatform::LinuxPlatform(const Options& options) {
    if (options.headless) {
        log_ = std::make_unique<StandardErrorLog>(options.processName);
        auto runLoop = std::make_unique<HeadlessRunLoop>();
        headlessRunLoop_ = runLoop.get();
        runLoop_ = std::move(runLoop);
    } else {
        log_ = std::make_unique<SystemLog>(options.processName);
        runLoop_ = std::make_unique<QtRunLoop>();
    }
    std::optional<std::string> bundlePath = options.bundlePath;
    if (!bundlePath) {
        bundlePath = DirectoryBundle::locateMainBundle();
    }
    hasBundle_ = bundlePath.has_value();
    bundle_ = std::make_unique<DirectoryBundle>(bundlePath.value_or(""));
    archives_ = std::make_unique<PlistKeyedArchives>();
    audioEngine_ =
        options.offlineAudio || options.headless
            ? AudioEngine::offline(options.audio)
            : AudioEngine::openDevice(options.audio, *log_,
                                      {audio::pipeWireOutputFromBundle(bundle_->bundlePath()),
                                       audio::pulseAudioOutputFromBundle(bundle_->bundlePath()),
                                       audio::sdlOutputFromBundle(bundle_->bundlePath())});
    systemSounds_ = std::make_unique<MixerSystemSoundService>(*audioEngine_);
    if (options.speech) {
        espeak_ = std::make_unique<EspeakSpeechService>(
            *audioEngine_, *log_, audio::speechEngineFromBundle(bundle_->bundlePath()));
    }
    silentSpeech_ = std::make_unique<SilentSpeechService>();
    SpeechService& speech = espeak_ ? static_cast<SpeechService&>(*espeak_) : *silentSpeech_;
    if (options.headless) {
        sleepWake_ = std::make_unique<NoSleepWake>();
        temporaryFiles_ = std::make_unique<PrivateTemporaryFiles>(options.processName + "-");
        random_ = std::make_unique<SeededRandomSource>(options.randomSeed);
    } else {
        sleepWake_ = std::make_unique<LogindSleepWakeNotifications>(*log_);
        temporaryFiles_ = std::make_unique<PosixTemporaryFiles>();
        random_ = std::make_unique<Arc4Random>();
    }
    userThemes_ = std::make_unique<XdgUserThemeFolder>();
    platform_ = std::make_unique<Platform>(Platform{*runLoop_, *log_, *bundle_, *archives_,
                                                    *systemSounds_, speech, *sleepWake_,
                                                    *temporaryFiles_, *random_, *userThemes_});
}

LinuxPlatform::~LinuxPlatform() = default;

EspeakSpeechService* LinuxPlatform::speech() {
    return espeak_ && espeak_->isAvailable() ? espeak_.get() : nullptr;
}

}  // namespace plinka
