#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/audio/AudioOptions.h"

namespace plinka {

class AudioEngine;
class DirectoryBundle;
class EspeakSpeechService;
class HeadlessRunLoop;
class MixerSystemSoundService;
class PlistKeyedArchives;
class XdgUserThemeFolder;

// Every real Linux service of one process, made together in the order they depend on each
// other and gone in the reverse order. Needs a Qt application object first, unless headless.
class LinuxPlatform {
  public:
    struct Options {
        std::string processName = "Plinka";
        // The bundle directory; when absent, the one that holds the running executable.
        std::optional<std::string> bundlePath;
        AudioOptions audio;
        // Mixes without a device: nothing is heard until the mixer is rendered on demand.
        bool offlineAudio = false;
        // For programs without a desktop session (the theme tool): no Qt, and a run loop that
        // runs its work when drained, log lines on standard error, a private temporary folder
        // that goes at the end, no sleep notices, variants from randomSeed, and offline audio.
        bool headless = false;
        uint64_t randomSeed = 1;
        // Without it synthesizers refuse to speak and no speech engine starts.
        bool speech = true;
    };

    explicit LinuxPlatform(const Options& options);
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return *platform_; }
    AudioEngine& audioEngine() { return *audioEngine_; }
    MixerSystemSoundService& systemSounds() { return *systemSounds_; }
    // The speech engine when speech was asked for and espeak-ng started; else nullptr.
    EspeakSpeechService* speech();
    // The headless run loop, to drain; nullptr with the Qt one.
    HeadlessRunLoop* headlessRunLoop() { return headlessRunLoop_; }
    DirectoryBundle& bundle() { return *bundle_; }
    // Whether a bundle was found; without one there are no resources.
    bool hasBundle() const { return hasBundle_; }

  private:
    std::unique_ptr<Log> log_;
    std::unique_ptr<RunLoop> runLoop_;
    HeadlessRunLoop* headlessRunLoop_ = nullptr;
    std::unique_ptr<DirectoryBundle> bundle_;
    bool hasBundle_ = false;
    std::unique_ptr<PlistKeyedArchives> archives_;
    std::unique_ptr<AudioEngine> audioEngine_;
    std::unique_ptr<MixerSystemSoundService> systemSounds_;
    std::unique_ptr<EspeakSpeechService> espeak_;
    std::unique_ptr<SpeechService> silentSpeech_;
    std::unique_ptr<SleepWakeNotifications> sleepWake_;
    std::unique_ptr<TemporaryFiles> temporaryFiles_;
    std::unique_ptr<RandomSource> random_;
    std::unique_ptr<XdgUserThemeFolder> userThemes_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace plinka
