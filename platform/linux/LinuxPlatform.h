#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/audio/AudioOptions.h"

namespace plinka {

class Arc4Random;
class AudioEngine;
class DirectoryBundle;
class EspeakSpeechService;
class LogindSleepWakeNotifications;
class MixerSystemSoundService;
class PlistKeyedArchives;
class PosixTemporaryFiles;
class QtRunLoop;
class SystemLog;
class XdgUserThemeFolder;

// Every real Linux service of one process, made together in the order they depend on each
// other and gone in the reverse order. Needs a Qt application object first.
class LinuxPlatform {
  public:
    struct Options {
        std::string processName = "Plinka";
        // The bundle directory; when absent, the one that holds the running executable.
        std::optional<std::string> bundlePath;
        AudioOptions audio;
        // Mixes without a device, for rendering on demand (the theme tool's preview).
        bool offlineAudio = false;
    };

    explicit LinuxPlatform(const Options& options);
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return *platform_; }
    AudioEngine& audioEngine() { return *audioEngine_; }
    EspeakSpeechService& speech() { return *speech_; }
    // Whether a bundle was found; without one there are no resources.
    bool hasBundle() const { return hasBundle_; }

  private:
    std::unique_ptr<SystemLog> log_;
    std::unique_ptr<QtRunLoop> runLoop_;
    std::unique_ptr<DirectoryBundle> bundle_;
    bool hasBundle_ = false;
    std::unique_ptr<PlistKeyedArchives> archives_;
    std::unique_ptr<AudioEngine> audioEngine_;
    std::unique_ptr<MixerSystemSoundService> systemSounds_;
    std::unique_ptr<EspeakSpeechService> speech_;
    std::unique_ptr<LogindSleepWakeNotifications> sleepWake_;
    std::unique_ptr<PosixTemporaryFiles> temporaryFiles_;
    std::unique_ptr<Arc4Random> random_;
    std::unique_ptr<XdgUserThemeFolder> userThemes_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace plinka
