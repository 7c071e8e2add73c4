#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "tools/theme/ThemeFileBundle.h"
#include "tools/theme/ToolServices.h"

namespace plinka {
class AudioEngine;
class DirectoryBundle;
class EspeakSpeechService;
class MixerSystemSoundService;
class PlistKeyedArchives;
class XdgUserThemeFolder;
}  // namespace plinka

namespace plinka::themetool {

// The platform the tool's commands run on: the real bundle, archives and offline audio engine
// (so sounds decode as the application decodes them, and a preview renders what it would
// play), with the tool's own run loop, log, temporary files and seeded random numbers. Themes
// and controllers made on it must go before it does.
class ToolPlatform {
  public:
    struct Options {
        // The bundle directory; when absent, the one DirectoryBundle::locateMainBundle finds.
        std::optional<std::string> bundlePath;
        // Speech through espeak-ng into the mix; otherwise synthesizers refuse to speak.
        bool speech = false;
        uint64_t randomSeed = 1;
    };

    explicit ToolPlatform(const Options& options);
    ~ToolPlatform();
    ToolPlatform(const ToolPlatform&) = delete;
    ToolPlatform& operator=(const ToolPlatform&) = delete;

    Platform& platform() { return *platform_; }
    ToolRunLoop& runLoop() { return runLoop_; }
    AudioEngine& audioEngine() { return *audioEngine_; }
    // The speech service when speech was asked for and espeak-ng is available; else nullptr.
    EspeakSpeechService* speech() { return espeak_.get(); }
    // The bundle, which can be given one more theme file.
    ThemeFileBundle& bundle() { return *themeBundle_; }
    bool hasBundle() const { return hasBundle_; }

  private:
    ToolRunLoop runLoop_;
    StderrLog log_;
    NoSleepWake sleepWake_;
    PrivateTemporaryFiles temporaryFiles_;
    SeededRandomSource random_;
    NoSpeechService noSpeech_;
    bool hasBundle_ = false;
    std::unique_ptr<DirectoryBundle> bundle_;
    std::unique_ptr<ThemeFileBundle> themeBundle_;
    std::unique_ptr<PlistKeyedArchives> archives_;
    std::unique_ptr<XdgUserThemeFolder> userThemes_;
    std::unique_ptr<AudioEngine> audioEngine_;
    std::unique_ptr<MixerSystemSoundService> systemSounds_;
    std::unique_ptr<EspeakSpeechService> espeak_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace plinka::themetool
